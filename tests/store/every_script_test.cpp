// Texts in every script, each through the store, the calendar file, iCalendar export and import, search,
// the printed week page and a backup with its restore; and a calendar of the single-byte versions that
// keeps its bytes through all of it.
#include <QDate>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli.h"
#include "desk/week_printout.h"
#include "store/cal_db.h"
#include "support/temp_dir.h"

using namespace orv;

namespace {

constexpr int kFirstDay = 46000;  // 9 December 2025
const std::string kCalendar = "Zoë Żak";

struct Row {
    const char* name;
    std::string text;
    std::string bytes;   // as the record holds them
    std::string needle;  // found by a search, in another case where the script has one
    bool whole = true;   // short enough for an entry line and one printed line
};

std::string repeat(std::string_view s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

const std::vector<Row>& rows() {
    static const std::vector<Row> table = {
        {"ASCII", "Dentist 10am", "Dentist 10am", "DENTIST"},
        {"Windows-1252", "Café «crème» €5 Ÿ", "Caf\xE9 \xAB" "cr\xE8me\xBB \x80" "5 \x9F", "CAFÉ «CRÈME» €5 ÿ"},
        {"Windows-1252 that looks like UTF-8", "Ã© Â£", "\xC3\x83\xC2\xA9 \xC3\x82\xC2\xA3", "ã© â£"},
        {"Polish", "Zażółć gęślą jaźń", "Zażółć gęślą jaźń", "ZAŻÓŁĆ"},
        {"Greek", "συνάντηση", "συνάντηση", "ΣΥΝ"},
        {"Cyrillic", "Встреча с Иваном", "Встреча с Иваном", "ИВАНОМ"},
        {"Hebrew", "פגישה עם דני", "פגישה עם דני", "דני"},
        {"Chinese", "开会 下午三点", "开会 下午三点", "三点"},
        {"Japanese", "会議 かいぎ カイギ", "会議 かいぎ カイギ", "カイギ"},
        {"emoji", "Party 🎉😀", "Party 🎉😀", "PARTY 🎉"},
        {"combining accent", "Cafe\u0301 Straße", "Cafe\u0301 Straße", "CAFE\u0301 STRASSE"},
        {"exactly 1019 bytes", repeat("ż", 509) + "a", repeat("ż", 509) + "a", "ŻA", false},
    };
    return table;
}

struct Cli {
    std::string folder;
    int status = 0;
    std::string out;
    std::string err;
    Cli& operator()(std::vector<std::string> args) {
        args.insert(args.begin(), {"--folder", folder});
        std::ostringstream o, e;
        status = cli::run(args, o, e, Clock(kFirstDay + 100));
        out = o.str();
        err = e.str();
        return *this;
    }
};

std::string iso(int day) {
    const QDate d = QDate(1899, 12, 30).addDays(day);
    return d.toString(QStringLiteral("yyyy-MM-dd")).toStdString();
}

// The record of day in a calendar file, its text bytes up to the first zero.
std::optional<std::string> recordBytes(const std::string& file, int day) {
    std::ifstream in(file, std::ios::binary);
    const std::string all((std::istreambuf_iterator<char>(in)), {});
    for (size_t at = 0; at + kRecordSize <= all.size(); at += kRecordSize) {
        const ReminderRecord r = ReminderRecord::fromBytes(all.data() + at);
        if (r.Date == day) return r.storedText();
    }
    return std::nullopt;
}

}  // namespace

class EveryScriptTest : public QObject {
    Q_OBJECT
    test::TempDir dir;
    Cli cli;
    std::string dataFile(const std::string& stem) const { return dir.file("Data/" + stem + ".DBX"); }

private slots:
    void init() {
        std::filesystem::create_directories(dir.file("Data"));
        dir.write("CalUsers.DAT", kCalendar + "\r\nOld\r\nCopy\r\n");
        cli.folder = dir.path();
    }

    void everyTextGoesEverywhereWhole() {
        const auto& table = rows();
        for (size_t i = 0; i < table.size(); ++i) {
            const Row& row = table[i];
            const int day = kFirstDay + static_cast<int>(i);
            QVERIFY2(cli({"--calendar", kCalendar, "set", iso(day), row.text}).status == 0, row.name);
            QCOMPARE(recordBytes(dataFile(kCalendar), day), std::optional<std::string>(row.bytes));
            QCOMPARE(cli({"--calendar", "ZOË ŻAK", "show", iso(day)}).out, row.text + "\n");
            cli({"--calendar", kCalendar, "search", row.needle});
            QVERIFY2(cli.out.find(iso(day) + "\n") != std::string::npos, row.name);
        }

        // Export and import: every whole text comes back as an entry line of its day.
        const std::string ics = dir.file("out.ics");
        QCOMPARE(cli({"--calendar", kCalendar, "export", ics}).status, 0);
        QCOMPARE(cli({"--calendar", "Copy", "import", ics}).status, 0);
        for (size_t i = 0; i < table.size(); ++i) {
            if (!table[i].whole) continue;
            QCOMPARE(cli({"--calendar", "Copy", "show", iso(kFirstDay + static_cast<int>(i))}).out,
                     "<" + table[i].text + ">\n");
        }

        // The printed week page keeps its text as text.
        WeekSheet sheet;
        sheet.calendarName = QString::fromStdString(kCalendar);
        sheet.title = QStringLiteral(" December 2025");
        for (size_t i = 0; i < table.size(); ++i)
            if (table[i].whole) sheet.lines[i + 1] = {QString::fromStdString(table[i].text)};
        const QString pdf = QString::fromStdString(dir.file("week.pdf"));
        {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageOrientation(QPageLayout::Landscape);
            QPainter painter(&printer);
            const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
            const QRectF mm = printer.pageLayout().paintRect(QPageLayout::Millimeter);
            const WeekPrintLayout layout(page.width(), page.height(), qRound(mm.width()), qRound(mm.height()), true);
            paintWeekSheet(painter, layout, sheet);
        }
        QProcess pdftotext;
        pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
        QVERIFY2(pdftotext.waitForFinished(30000), "pdftotext (poppler-utils) is needed");
        const QString printed = QString::fromUtf8(pdftotext.readAllStandardOutput()).normalized(QString::NormalizationForm_C);
        QVERIFY2(printed.contains(sheet.calendarName), qPrintable(printed));
        for (const Row& row : table) {
            // A right-to-left line comes out in reading order; the emoji's font may carry no text.
            if (!row.whole || std::string_view(row.name) == "Hebrew" || std::string_view(row.name) == "emoji") continue;
            QVERIFY2(printed.contains(QString::fromStdString(row.text).normalized(QString::NormalizationForm_C)),
                     qPrintable(QStringLiteral("%1 not in:\n%2").arg(row.name, printed)));
        }

        // A backup over two disks and its restore carry the bytes unchanged.
        const std::string before = dir.read("Data/" + kCalendar + ".DBX");
        std::filesystem::create_directories(dir.file("d1"));
        std::filesystem::create_directories(dir.file("d2"));
        std::filesystem::create_directories(dir.file("d3"));
        QVERIFY2(cli({"backup", dir.file("d1"), dir.file("d2"), dir.file("d3"), "--disk-size", "16000"}).status == 0,
                 cli.err.c_str());
        std::filesystem::remove(dataFile(kCalendar));
        QVERIFY2(cli({"restore", dir.file("d1"), dir.file("d2"), dir.file("d3")}).status == 0, cli.err.c_str());
        QVERIFY(dir.read("Data/" + kCalendar + ".DBX") == before);
    }

    void aCutNeverSplitsACharacter() {
        CalDb store;
        store.LoadStore(dataFile("Cut"));
        const std::string text = "a" + repeat("ż", 510);  // 1021 bytes
        store.writeDay(kFirstDay, text);
        QCOMPARE(store.readDay(kFirstDay), std::optional<std::string>("a" + repeat("ż", 509)));
        QCOMPARE(cli({"--calendar", kCalendar, "set", iso(kFirstDay), text}).status, 2);
    }

    // A calendar of the single-byte versions, with a text whose bytes happen to be UTF-8, keeps every byte
    // through a change of another day, an unchanged rewrite, a compaction, and a backup and restore.
    void filesOfEarlierVersionsKeepTheirBytes() {
        std::string file;
        const char* texts[] = {"Caf\xE9", "\x80" "5 \xAB" "x\xBB", "\xC3\xA9t\xC3\xA9", "gone"};
        for (int i = 0; i < 4; ++i) {
            ReminderRecord r;
            r.Date = kFirstDay + i;
            std::memcpy(r.Text.data(), texts[i], std::strlen(texts[i]));
            const auto b = r.toBytes();
            file.append(b.data(), b.size());
        }
        dir.write("Data/Old.DBX", file);
        {
            CalDb store;
            store.LoadStore(dataFile("Old"));
            QCOMPARE(store.readDay(kFirstDay), std::optional<std::string>("Café"));
            QCOMPARE(store.readDay(kFirstDay + 2), std::optional<std::string>("été"));  // read as UTF-8
            // The week page writes back every cell it shows, changed or not.
            for (int i = 0; i < 3; ++i) store.writeDay(kFirstDay + i, *store.readDay(kFirstDay + i));
            store.writeDay(kFirstDay + 10, "Zażółć");
        }
        QVERIFY(dir.read("Data/Old.DBX").substr(0, file.size()) == file);
        QCOMPARE(cli({"--calendar", "Old", "clear", iso(kFirstDay + 3)}).status, 0);  // compacts
        const std::string compacted = dir.read("Data/Old.DBX");
        QVERIFY(compacted.substr(0, 3 * kRecordSize) == file.substr(0, 3 * kRecordSize));
        QCOMPARE(compacted.size(), size_t(4 * kRecordSize));

        std::filesystem::create_directories(dir.file("disk"));
        QCOMPARE(cli({"backup", dir.file("disk")}).status, 0);
        std::filesystem::remove(dataFile("Old"));
        QCOMPARE(cli({"restore", dir.file("disk")}).status, 0);
        QVERIFY(dir.read("Data/Old.DBX") == compacted);
    }
};

QTEST_MAIN(EveryScriptTest)
#include "every_script_test.moc"
