#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>

#include "app/option_dlg.h"
#include "app/start_link.h"
#include "common/day_number.h"
#include "common/ini_file.h"
#include "support/parts.h"
#include "support/temp_dir.h"
#include "support/test_context.h"

using namespace orv;
using test::part;

namespace {

// Shows the window through the seams and lets the script act on it; returns the window's answer.
int showWith(TOptionDlg& dlg, test::FakeSeams& seams, std::function<void(TOptionDlg&)> act) {
    seams.scripts.push_back([&dlg, act](QDialog*) {
        act(dlg);
        return dlg.result();
    });
    return seams.execModal(&dlg);
}

template <class Part = QWidget>
Part* the(const TOptionDlg& dlg, const char* name) {
    return part<Part>(&dlg, name);
}
QPushButton* button(const TOptionDlg& dlg, const char* name) { return the<QPushButton>(dlg, name); }
QCheckBox* autoStart(const TOptionDlg& dlg) { return the<QCheckBox>(dlg, "cbAuto"); }

std::string stored(const std::string& file, const char* key) {
    IniFile ini;
    ini.load(file);
    return ini.value("Autostart", key).value_or("(none)");
}

}  // namespace

class OptionDlgTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        // The start link goes into a folder of the test's own.
        config = std::make_unique<test::TempDir>();
        std::filesystem::create_directory(config->file("autostart"));
        ::setenv("XDG_CONFIG_HOME", config->path().c_str(), 1);
        run = std::make_unique<test::TestContext>(dir->path(), dayNumber(2023, 3, 1));
        seams = &run->seams;
        Program& program = run->program;
        program.settings.Tile = 0;
        program.settings.ShowUsage = true;
        program.settings.Size = 1;
        program.calendars.DataFolder = dir->path();
        program.calendars.Names = {"Ann"};
        program.store.OpenCurrentCalendar();
        dlg = std::make_unique<TOptionDlg>(run->context);
        weekStarts.clear();
        calls.clear();
        QObject::connect(dlg.get(), &TOptionDlg::weekStartChosen, dlg.get(),
                         [this](int w) { weekStarts.push_back(w); });
        QObject::connect(dlg.get(), &TOptionDlg::textureChosen, dlg.get(), [this] { calls << "texture"; });
        QObject::connect(dlg.get(), &TOptionDlg::yearlyDatesRequested, dlg.get(), [this] {
            // Days deleted before are gone from the file when the yearly dates come.
            calls << QStringLiteral("yearly, %1 record(s)").arg(dir->read("Ann.DBX").size() / kRecordSize);
        });
    }
    void cleanup() {
        dlg.reset();
        run.reset();
        dir.reset();
        ::unsetenv("XDG_CONFIG_HOME");
        config.reset();
    }

    void controlsAndCaptions() {
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Options..."));
        QCOMPARE(the<QGroupBox>(*dlg, "rgDisplay")->title(), QStringLiteral(" Calendar Display "));
        QCOMPARE(the<QRadioButton>(*dlg, "rbSunday")->text(), QStringLiteral("Week starts with Sunday"));
        QCOMPARE(the<QRadioButton>(*dlg, "rbMonday")->text(), QStringLiteral("Week starts with Monday"));
        QCOMPARE(autoStart(*dlg)->text(), QStringLiteral("Start calendar automatically"));
        QCOMPARE(the<QCheckBox>(*dlg, "cbDots")->text(), QStringLiteral("Show dots in main calendar"));
        QCOMPARE(button(*dlg, "PrintBtn")->text(), QStringLiteral("Print Page For This Month"));
        QCOMPARE(button(*dlg, "BitBtn3")->text(), QStringLiteral("Appointments, Dates And Events"));
        QCOMPARE(button(*dlg, "BackupBtn")->text(), QStringLiteral("Backup/Restore Calendars"));
        QCOMPARE(button(*dlg, "sbNone")->text(), QStringLiteral("Your System Colors"));
        QCOMPARE(button(*dlg, "BitBtn2")->text(), QStringLiteral("Cancel"));
        QVERIFY(autoStart(*dlg)->isChecked());
        QCOMPARE(dlg->displayIndex(), 0);
        // The size group lies wholly above the visible area.
        QVERIFY(the<QGroupBox>(*dlg, "rgSize")->geometry().bottom() < 0);
        QVERIFY(autoStart(*dlg)->toolTip().contains(QStringLiteral("Windows starts up")));
        QCOMPARE(the<QToolButton>(*dlg, "sbBrown")->toolTip(), QStringLiteral("Set background texture"));
    }

    void resultsOfTheButtons() {
        QCOMPARE(showWith(*dlg, *seams, [](TOptionDlg& d) { button(d, "PrintBtn")->click(); }), 4);
        QCOMPARE(showWith(*dlg, *seams, [](TOptionDlg& d) { button(d, "BackupBtn")->click(); }), 8);
        QVERIFY(calls.isEmpty());
        QVERIFY(!hasStartLink());
        CalDb& store = run->program.store;
        store.writeDay(dayNumber(2023, 3, 1), "kept");
        store.writeDay(dayNumber(2023, 3, 2), "deleted");
        store.writeDay(dayNumber(2023, 3, 2), "");
        QCOMPARE(showWith(*dlg, *seams, [](TOptionDlg& d) { button(d, "BitBtn3")->click(); }), int(mrOk));
        QCOMPARE(calls, QStringList({"yearly, 1 record(s)"}));
        QCOMPARE(store.readDay(dayNumber(2023, 3, 1)), std::optional<std::string>("kept"));
        calls.clear();
        QCOMPARE(showWith(*dlg, *seams, [](TOptionDlg& d) { button(d, "BitBtn1")->click(); }), int(mrOk));
        QVERIFY(hasStartLink());
        QCOMPARE(showWith(*dlg, *seams,
                          [](TOptionDlg& d) {
                              autoStart(d)->setChecked(false);
                              button(d, "BitBtn1")->click();
                          }),
                 int(mrOk));
        QVERIFY(!hasStartLink());
        QVERIFY(calls.isEmpty());
    }

    void everyCloseStoresTheChoices() {
        const std::string file = run->program.settingsFile();
        const std::function<void(TOptionDlg&)> closers[] = {
            [](TOptionDlg& d) { button(d, "PrintBtn")->click(); },
            [](TOptionDlg& d) { button(d, "BackupBtn")->click(); },
            [](TOptionDlg& d) { button(d, "BitBtn1")->click(); },
            [](TOptionDlg& d) { button(d, "BitBtn2")->click(); },
            [](TOptionDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); },
            [](TOptionDlg& d) { d.close(); },
        };
        for (const auto& close : closers) {
            std::filesystem::remove(file);
            showWith(*dlg, *seams, [&](TOptionDlg& d) {
                the<QRadioButton>(d, "rbMonday")->click();
                autoStart(d)->setChecked(false);
                close(d);
            });
            QCOMPARE(stored(file, "cbAuto_Checked"), std::string("False"));
            QCOMPARE(stored(file, "rgDisplay_ItemIndex"), std::string("1"));
            // Back to the first state for the next way of closing.
            showWith(*dlg, *seams, [](TOptionDlg& d) {
                the<QRadioButton>(d, "rbSunday")->click();
                autoStart(d)->setChecked(true);
                button(d, "BitBtn2")->click();
            });
        }
    }

    void cancelTakesBackTheTextureOnly() {
        run->program.settings.Tile = 3;
        const int r = showWith(*dlg, *seams, [this](TOptionDlg& d) {
            QVERIFY(the<QToolButton>(d, "sbBlue")->isChecked());
            the<QToolButton>(d, "sbGreen")->click();
            QCOMPARE(run->program.settings.Tile, 2);  // seen at once behind the window
            the<QRadioButton>(d, "rbMonday")->click();
            autoStart(d)->setChecked(false);
            button(d, "BitBtn2")->click();
        });
        QCOMPARE(r, int(mrCancel));
        QCOMPARE(run->program.settings.Tile, 3);
        QCOMPARE(weekStarts, std::vector<int>({1}));  // Monday stays
        QCOMPARE(dlg->displayIndex(), 1);
        QCOMPARE(calls, QStringList({"texture", "texture"}));  // chosen, then taken back
        QVERIFY(!hasStartLink());                              // the link is neither created nor deleted
        QCOMPARE(stored(run->program.settingsFile(), "cbAuto_Checked"), std::string("False"));
    }

    void systemColoursAndOk() {
        const int r = showWith(*dlg, *seams, [](TOptionDlg& d) {
            button(d, "sbNone")->click();
            button(d, "BitBtn1")->click();
        });
        QCOMPARE(r, int(mrOk));
        QCOMPARE(run->program.settings.Tile, 5);
        QVERIFY(button(*dlg, "sbNone")->isChecked());
    }

    void storedChoicesAreRestoredAtEveryShowing() {
        test::TempDir& d = *dir;
        d.write("Orvella.INI", "[Autostart]\r\ncbAuto_Checked=False\r\nrgDisplay_ItemIndex=1\r\n");
        showWith(*dlg, *seams, [](TOptionDlg& o) {
            QVERIFY(!autoStart(o)->isChecked());
            QCOMPARE(o.displayIndex(), 1);
            button(o, "BitBtn2")->click();
        });
        QCOMPARE(weekStarts, std::vector<int>({1}));  // the click handler ran for the new item
        // The same item again does not run it again.
        dlg->RestoreOptions();
        QCOMPARE(weekStarts, std::vector<int>({1}));
        // A first start: no section, the controls keep what they show.
        std::filesystem::remove(d.file("Orvella.INI"));
        autoStart(*dlg)->setChecked(true);
        dlg->RestoreOptions();
        QVERIFY(autoStart(*dlg)->isChecked());
        QCOMPARE(dlg->displayIndex(), 1);
        // A value that is no whole number selects Sunday.
        d.write("Orvella.INI", "[Autostart]\r\nrgDisplay_ItemIndex=Mon\r\n");
        dlg->RestoreOptions();
        QCOMPARE(dlg->displayIndex(), 0);
        QCOMPARE(weekStarts, std::vector<int>({1, 0}));
    }

    void dotsAndSizeFollowTheSettings() {
        run->program.settings.ShowUsage = false;
        run->program.settings.Size = 7;
        showWith(*dlg, *seams, [](TOptionDlg& o) {
            QVERIFY(!the<QCheckBox>(o, "cbDots")->isChecked());
            QCOMPARE(o.sizeIndex(), 1);
            the<QCheckBox>(o, "cbDots")->setChecked(true);
            button(o, "BitBtn1")->click();
        });
        QVERIFY(run->program.settings.ShowUsage);
        run->program.settings.Size = -1;
        showWith(*dlg, *seams, [](TOptionDlg& o) {
            QCOMPARE(o.sizeIndex(), -1);
            button(o, "BitBtn2")->click();
        });
    }

    void theStartLinkIsCreatedOnceAndDeleted() {
        test::TempDir& config = *this->config;
        const auto ok = [&](bool on) {
            showWith(*dlg, *seams, [on](TOptionDlg& o) {
                autoStart(o)->setChecked(on);
                button(o, "BitBtn1")->click();
            });
        };
        ok(true);
        const std::string link = config.file("autostart/Orvella.desktop");
        QVERIFY(config.exists("autostart/Orvella.desktop"));
        QVERIFY(config.read("autostart/Orvella.desktop").find("Path=" + dir->path() + "\n") != std::string::npos);
        config.write("autostart/Orvella.desktop", "kept");
        ok(true);
        QCOMPARE(config.read("autostart/Orvella.desktop"), std::string("kept"));
        ok(false);
        QVERIFY(!config.exists("autostart/Orvella.desktop"));
    }

    void okMakesTheAutostartFolderOrSaysWhyNot_data() {
        QTest::addColumn<QString>("configHome");  // under the test's own folder
        QTest::addColumn<QString>("blockedBy");   // a file standing where a folder should be
        QTest::addColumn<bool>("linked");
        QTest::newRow("fresh account") << "fresh"
                                       << "" << true;
        QTest::newRow("no configuration folder either") << "none/.config"
                                                        << "" << true;
        QTest::newRow("a file where the folder should be") << "blocked"
                                                           << "blocked/autostart" << false;
    }

    void okMakesTheAutostartFolderOrSaysWhyNot() {
        QFETCH(QString, configHome);
        QFETCH(QString, blockedBy);
        QFETCH(bool, linked);
        const std::string home = config->file(configHome.toStdString());
        if (!blockedBy.isEmpty()) config->write(blockedBy.toStdString(), "");
        ::setenv("XDG_CONFIG_HOME", home.c_str(), 1);
        const int r = showWith(*dlg, *seams, [](TOptionDlg& o) {
            autoStart(o)->setChecked(true);
            button(o, "BitBtn1")->click();
        });
        QCOMPARE(r, int(mrOk));
        QCOMPARE(config->exists(configHome.toStdString() + "/autostart/Orvella.desktop"), linked);
        QCOMPARE(seams->messages.size(), size_t(linked ? 0 : 1));
        if (!linked) {
            QCOMPARE(seams->messages[0].icon, MsgIcon::Error);
            QVERIFY(seams->messages[0].text.contains(QString::fromStdString(home + "/autostart")));
        }
    }

private:
    bool hasStartLink() const { return config->exists("autostart/Orvella.desktop"); }

    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::TempDir> config;
    std::unique_ptr<test::TestContext> run;
    test::FakeSeams* seams = nullptr;
    std::unique_ptr<TOptionDlg> dlg;
    std::vector<int> weekStarts;
    QStringList calls;
};

QTEST_MAIN(OptionDlgTest)
#include "option_dlg_test.moc"
