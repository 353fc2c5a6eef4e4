#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTextLayout>
#include <QtTest>
#include <filesystem>
#include <memory>

#include "common/app_context.h"
#include "common/hint_router.h"
#include "program/program.h"
#include "store/add_user_dlg.h"
#include "store/calendar_list.h"
#include "store/chg_user_dlg.h"
#include "store/edit_user_dlg.h"
#include "store/name_error_dlg.h"
#include "support/fake_seams.h"
#include "support/parts.h"
#include "support/temp_dir.h"

using namespace orv;
using test::part;
using Names = std::vector<std::string>;

namespace {

QLineEdit* eName(const QDialog* dlg) { return part<QLineEdit>(dlg, "eName"); }
void pressOk(QDialog* dlg) { part<QPushButton>(dlg, "BitBtn2")->click(); }
QLabel* label(const QDialog* dlg, const char* name) { return part<QLabel>(dlg, name); }

const QString kOnlyCalendar = QStringLiteral(
    "This is the only Calendar available and it cannot be\rdeleted until another calendar has been created.");
const QString kConfirmDelete =
    QStringLiteral("Warning - Deleted calendars cannot be recovered later!\r\rAre you sure you want to continue ?");

// Types the names one after another into a name window and presses OK each time; the window's answer is
// OK when the last name was taken, Cancel otherwise (the user gives up).
std::function<int(QDialog*)> typeAndOk(QStringList names) {
    return [names](QDialog* d) {
        auto* dlg = qobject_cast<TNameEntryDlg*>(d);
        if (!dlg) return int(mrAbort);
        for (const QString& name : names) {
            eName(dlg)->setText(name);
            pressOk(dlg);
            if (dlg->result() == mrOk) return int(mrOk);
        }
        return int(mrCancel);
    };
}

// Keeps the text the name window shows and then presses OK.
std::function<int(QDialog*)> okAsShown(QString* shown) {
    return [shown](QDialog* d) {
        auto* dlg = qobject_cast<TNameEntryDlg*>(d);
        if (!dlg) return int(mrAbort);
        *shown = eName(dlg)->text();
        pressOk(dlg);
        return dlg->result() == mrOk ? int(mrOk) : int(mrCancel);
    };
}

// Whether a message that lists characters keeps the list on one line wherever a message box may wrap it.
bool listedCharactersStayTogether(const QString& text) {
    const qsizetype first = text.indexOf(u'/');
    const qsizetype last = text.lastIndexOf(u'|');
    if (first < 0 || last < first) return true;
    for (int width = 100; width <= 600; width += 7) {
        QTextLayout layout(text, QApplication::font());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) line.setLineWidth(width);
        layout.endLayout();
        if (layout.lineForTextPosition(int(first)).lineNumber() != layout.lineForTextPosition(int(last)).lineNumber())
            return false;
    }
    return true;
}

}  // namespace

class UsersWindowsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::FakeSeams> seams;
    std::unique_ptr<Program> program;
    std::unique_ptr<AppContext> context;
    CalendarList* list = nullptr;
    std::unique_ptr<TNameErrorDlg> err;
    std::unique_ptr<TAddUserDlg> add;
    std::unique_ptr<TChgUserDlg> chg;
    std::unique_ptr<TEditUserDlg> users;

    void useCalendars(const Names& names, int current, const Names& withFiles = {}) {
        list->Names = names;
        list->CurrentCalendarIndex = current;
        for (const auto& name : withFiles) dir->write("Data/" + name + ".DBX", name + "'s days");
    }
    bool hasFile(const std::string& name) const { return dir->exists("Data/" + name + ".DBX"); }
    QStringList rows() const {
        QStringList out;
        for (int i = 0; i < usersList()->count(); ++i) out << usersList()->item(i)->text();
        return out;
    }
    // Opens the Users window and runs body inside it; returns the window's result.
    int openUsers(std::function<int()> body) {
        seams->scripts.push_back([body](QDialog*) { return body(); });
        return seams->execModal(users.get());
    }
    QListWidget* usersList() const { return part<QListWidget>(users.get(), "lbUsers"); }
    void press(const char* button) const { part<QPushButton>(users.get(), button)->click(); }
    int nameErrorsShown() const { return int(seams->modalClasses.count(QStringLiteral("orv::TNameErrorDlg"))); }

private slots:
    void init() {
        dir = std::make_unique<test::TempDir>();
        std::filesystem::create_directories(dir->file("Data"));
        seams = std::make_unique<test::FakeSeams>();
        program = std::make_unique<Program>(dir->path());
        context = std::make_unique<AppContext>(*program, AppSeams{seams.get()});
        list = &program->calendars;
        list->DataFolder = dir->file("Data");
        err = std::make_unique<TNameErrorDlg>();
        add = std::make_unique<TAddUserDlg>(*context);
        chg = std::make_unique<TChgUserDlg>(*context);
        users = std::make_unique<TEditUserDlg>(*context);
        add->setNameErrorDlg(err.get());
        chg->setNameErrorDlg(err.get());
        users->setNameWindows(add.get(), chg.get());
    }

    void cleanup() {
        users.reset();
        chg.reset();
        add.reset();
        err.reset();
        context.reset();
        program.reset();
        seams.reset();
    }

    void windowsHaveTheirCaptions() {
        QCOMPARE(users->windowTitle(), QStringLiteral("Users"));
        QCOMPARE(add->windowTitle(), QStringLiteral("Add a Calendar User"));
        QCOMPARE(chg->windowTitle(), QStringLiteral("Change Description"));
        QCOMPARE(err->windowTitle(), QStringLiteral("Warning..."));
    }

    void firstStartRefusesUser1InAnyCase() {
        QVERIFY(list->loadAtStartup(dir->file("CalUsers.DAT"), 0));
        seams->scripts.push_back(typeAndOk({"User1", "USER1", "user1", "Anna"}));
        QVERIFY(add->askFirstName(nullptr));
        QCOMPARE(list->Names, Names{"Anna"});
        QCOMPARE(list->CurrentCalendarIndex, 0);
        QCOMPARE(seams->beeps, 3);
        QCOMPARE(nameErrorsShown(), 3);
        QCOMPARE(
            label(err.get(), "lName")->text().contains(QStringLiteral("A calendar named <b>user1</b> already exists.")),
            true);
        QCOMPARE(label(err.get(), "lAdvice")->text(),
                 QStringLiteral("Please click on OK and choose a new name or modify the name you have chosen. You "
                                "could change the name to include a location, such as \"Home\",  or add a number. Eg. "
                                "John Smith [2]"));
    }

    void firstStartCancelKeepsUser1() {
        QVERIFY(list->loadAtStartup(dir->file("CalUsers.DAT"), 0));
        eName(add.get())->setText(QStringLiteral("left over"));
        seams->scripts.push_back([](QDialog* d) {
            // The name box starts empty.
            return eName(d)->text().isEmpty() ? int(mrCancel) : int(mrAbort);
        });
        QVERIFY(!add->askFirstName(nullptr));
        QCOMPARE(list->Names, Names{"User1"});
    }

    void onlyTheAddWindowSelectsTheName() {
        bool addSelected = false;
        bool chgSelected = true;
        seams->scripts.push_back([&](QDialog*) {
            addSelected = eName(add.get())->selectedText() == QStringLiteral("Anna");
            return int(mrCancel);
        });
        seams->scripts.push_back([&](QDialog*) {
            QCoreApplication::processEvents();
            chgSelected = eName(chg.get())->hasSelectedText();
            return int(mrCancel);
        });
        eName(add.get())->setText(QStringLiteral("Anna"));
        eName(chg.get())->setText(QStringLiteral("Anna"));
        seams->execModal(add.get());
        seams->execModal(chg.get());
        QVERIFY(addSelected);
        QVERIFY(!chgSelected);
        QCOMPARE(eName(chg.get())->cursorPosition(), 4);
    }

    void emptyNameBeepsAndStays_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << QString();
        QTest::newRow("blanks") << QStringLiteral("   ");
        QTest::newRow("no-break blanks") << QStringLiteral("\u00A0\u00A0");
    }

    void emptyNameBeepsAndStays() {
        QFETCH(QString, name);
        useCalendars({"Anna"}, 0);
        for (TNameEntryDlg* dlg : {static_cast<TNameEntryDlg*>(add.get()), static_cast<TNameEntryDlg*>(chg.get())}) {
            seams->beeps = 0;
            eName(dlg)->setText(name);
            pressOk(dlg);
            QCOMPARE(seams->beeps, 1);
            QCOMPARE(dlg->result(), 0);
        }
        QVERIFY(seams->messages.empty());
        QCOMPARE(nameErrorsShown(), 0);
        QVERIFY(list->Names == Names{"Anna"});
    }

    void namesThatCannotBeFileNamesAreRefused_data() {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {"Anna/Home", "Anna\\Home", ".", "..", "Anna: Home", "Who?", "A|B", "\"A\"", "<A>", "A*"})
            QTest::newRow(name) << QString::fromUtf8(name);
        QTest::newRow("tab") << QStringLiteral("A\tB");
        QTest::newRow("C1 control") << QStringLiteral("A\u0085B");
    }

    void namesThatCannotBeFileNamesAreRefused() {
        QFETCH(QString, name);
        useCalendars({"Anna"}, 0);
        for (TNameEntryDlg* dlg : {static_cast<TNameEntryDlg*>(add.get()), static_cast<TNameEntryDlg*>(chg.get())}) {
            seams->messages.clear();
            eName(dlg)->setText(name);
            pressOk(dlg);
            QCOMPARE(dlg->result(), 0);
            QCOMPARE(int(seams->messages.size()), 1);
            QCOMPARE(seams->messages[0].icon, MsgIcon::Warning);
            QVERIFY(!seams->messages[0].text.isEmpty());
            QVERIFY2(listedCharactersStayTogether(seams->messages[0].text), qPrintable(seams->messages[0].text));
        }
        QVERIFY(list->Names == Names{"Anna"});
    }

    void activationHighlightsTheCurrentCalendar() {
        useCalendars({"Anna", "Ben", "Éric"}, 2);
        const int result = openUsers([this] {
            [&] {
                QCOMPARE(rows(), (QStringList{"Anna", "Ben", QStringLiteral("\u00C9ric")}));
                QCOMPARE(usersList()->currentRow(), 2);
                QCOMPARE(users->selectedIndex(), 2);
                usersList()->setCurrentRow(1);  // as a click or an arrow key does
                QCOMPARE(users->selectedIndex(), 1);
            }();
            emit usersList()->itemDoubleClicked(usersList()->currentItem());
            return users->result();
        });
        QCOMPARE(result, int(mrOk));
        QCOMPARE(list->CurrentCalendarIndex, 1);
    }

    void cancelChangesNothing() {
        useCalendars({"Anna", "Ben"}, 0);
        const int result = openUsers([this] {
            usersList()->setCurrentRow(1);
            press("CancelBtn");
            return users->result();
        });
        QCOMPARE(result, int(mrCancel));
        QCOMPARE(list->CurrentCalendarIndex, 0);
    }

    void createConfirmedActivatesTheNewCalendar() {
        useCalendars({"Anna", "Ben"}, 0);
        const int result = openUsers([this] {
            seams->scripts.push_back(typeAndOk({"Cid"}));
            press("AddBtn");
            return users->result();
        });
        QCOMPARE(result, int(mrOk));
        QCOMPARE(list->Names, (Names{"Anna", "Ben", "Cid"}));
        QCOMPARE(list->CurrentCalendarIndex, 2);
        QVERIFY(!hasFile("Cid"));  // no file until the store first writes it
    }

    void aNameInAnyScriptIsACalendarAndItsFileName() {
        useCalendars({"Anna"}, 0);
        const int result = openUsers([this] {
            seams->scripts.push_back(typeAndOk({QStringLiteral("Zoë Żak")}));
            press("AddBtn");
            return users->result();
        });
        QCOMPARE(result, int(mrOk));
        QCOMPARE(list->Names, (Names{"Anna", "Zoë Żak"}));
        QCOMPARE(list->CalendarFileName(1), list->DataFolder + "/Zoë Żak.DBX");
        // The same name in other capitals is the same calendar.
        eName(add.get())->setText(QStringLiteral("ZOË ŻAK"));
        pressOk(add.get());
        QCOMPARE(nameErrorsShown(), 1);
    }

    void createThenCancelStillActivates() {
        useCalendars({"Anna", "Ben"}, 0);
        const int result = openUsers([this] {
            usersList()->setCurrentRow(1);
            press("AddBtn");  // no script: the add window answers Cancel
            return users->result();
        });
        QCOMPARE(result, int(mrOk));
        QCOMPARE(seams->modalClasses.count(QStringLiteral("orv::TAddUserDlg")), 1);
        QCOMPARE(list->Names, (Names{"Anna", "Ben"}));
        QCOMPARE(list->CurrentCalendarIndex, 1);
    }

    void renameMovesTheFileAndSurvivesCancel() {
        useCalendars({"Anna", "Ben"}, 0, {"Anna", "Ben"});
        QString shown;
        const int result = openUsers([&] {
            usersList()->setCurrentRow(0);
            seams->scripts.push_back([&](QDialog* d) {
                shown = eName(d)->text();
                return typeAndOk({"Anna - Home"})(d);
            });
            press("EditBtn");
            [&] {
                QCOMPARE(rows(), (QStringList{"Anna - Home", "Ben"}));
                QCOMPARE(usersList()->currentRow(), 0);
            }();
            press("CancelBtn");
            return users->result();
        });
        QCOMPARE(result, int(mrCancel));
        QCOMPARE(shown, QStringLiteral("Anna"));
        QCOMPARE(list->Names, (Names{"Anna - Home", "Ben"}));
        QVERIFY(!hasFile("Anna"));
        QCOMPARE(dir->read("Data/Anna - Home.DBX"), std::string("Anna's days"));
    }

    void renameRefusedWhenTheTargetFileExists() {
        useCalendars({"Anna", "Ben"}, 0, {"Anna", "Ben", "stray"});
        openUsers([&] {
            usersList()->setCurrentRow(0);
            seams->scripts.push_back(typeAndOk({"STRAY"}));
            press("EditBtn");
            press("CancelBtn");
            return users->result();
        });
        QCOMPARE(list->Names, (Names{"Anna", "Ben"}));
        QCOMPARE(dir->read("Data/Anna.DBX"), std::string("Anna's days"));
        QCOMPARE(dir->read("Data/stray.DBX"), std::string("stray's days"));
        QCOMPARE(int(seams->messages.size()), 1);
        QVERIFY(seams->messages[0].text.contains(QStringLiteral("keeps its name")));
    }

    void renameToTheUnchangedNameIsRefused() {
        useCalendars({"Anna", "Ben"}, 1, {"Ben"});
        QString shown;
        openUsers([&] {
            seams->scripts.push_back(okAsShown(&shown));
            press("EditBtn");
            seams->scripts.push_back(typeAndOk({"BEN", "ANNA"}));
            press("EditBtn");
            press("CancelBtn");
            return users->result();
        });
        QCOMPARE(shown, QStringLiteral("Ben"));
        QCOMPARE(nameErrorsShown(), 3);
        QCOMPARE(seams->beeps, 3);
        QVERIFY(label(err.get(), "lName")->text().contains(QStringLiteral("<b>ANNA</b>")));
        QCOMPARE(list->Names, (Names{"Anna", "Ben"}));
        QVERIFY(hasFile("Ben"));
    }

    void renameAfterADeletionMovesTheRightFile() {
        useCalendars({"Anna", "Ben", "Cid"}, 0, {"Anna", "Ben", "Cid"});
        openUsers([&] {
            usersList()->setCurrentRow(0);
            press("DelBtn");  // Anna goes; the rows move up
            usersList()->setCurrentRow(0);
            seams->scripts.push_back(typeAndOk({"Bea"}));
            press("EditBtn");
            press("CancelBtn");
            return users->result();
        });
        QCOMPARE(list->Names, (Names{"Anna", "Bea", "Cid"}));
        QCOMPARE(dir->read("Data/Bea.DBX"), std::string("Ben's days"));
        QVERIFY(!hasFile("Ben"));
        QVERIFY(hasFile("Cid"));
    }

    void deletingTheOnlyCalendarIsRefused() {
        useCalendars({"Solo"}, 0, {"Solo"});
        openUsers([&] {
            press("DelBtn");
            return users->result();
        });
        QCOMPARE(int(seams->messages.size()), 1);
        QCOMPARE(seams->messages[0].icon, MsgIcon::Information);
        QCOMPARE(seams->messages[0].buttons, MsgButtons::Ok);
        QCOMPARE(seams->messages[0].text, kOnlyCalendar);
        QVERIFY(hasFile("Solo"));
    }

    void deleteAskedFirst_data() {
        QTest::addColumn<int>("answer");
        QTest::newRow("yes") << int(mrYes);
        QTest::newRow("no") << int(mrNo);
    }

    void deleteAskedFirst() {
        QFETCH(int, answer);
        useCalendars({"Anna", "Ben", "Cid"}, 0, {"Anna", "Ben", "Cid"});
        seams->answers.push_back(answer);
        openUsers([&] {
            usersList()->setCurrentRow(1);
            press("DelBtn");
            [&] {
                QCOMPARE(int(seams->messages.size()), 1);
                QCOMPARE(seams->messages[0].icon, MsgIcon::Confirmation);
                QCOMPARE(seams->messages[0].buttons, MsgButtons::YesNo);
                QCOMPARE(seams->messages[0].text, kConfirmDelete);
                if (answer == mrYes) {
                    QCOMPARE(rows(), (QStringList{"Anna", "Cid"}));
                    QCOMPARE(usersList()->currentRow(), 0);  // the entry above
                    QCOMPARE(users->selectedIndex(), 0);
                } else {
                    QCOMPARE(rows(), (QStringList{"Anna", "Ben", "Cid"}));
                }
            }();
            press("CancelBtn");
            return users->result();
        });
        // After Cancel the name stays in the list, its file does not.
        QCOMPARE(list->Names, (Names{"Anna", "Ben", "Cid"}));
        QCOMPARE(hasFile("Ben"), answer == mrNo);
        QVERIFY(hasFile("Anna"));
        QVERIFY(hasFile("Cid"));
    }

    void deletedNameCannotBeReusedWhileOpen() {
        useCalendars({"Anna", "Ben"}, 0, {"Anna", "Ben"});
        openUsers([&] {
            usersList()->setCurrentRow(1);
            press("DelBtn");
            usersList()->setCurrentRow(0);
            seams->scripts.push_back(typeAndOk({"ben"}));
            press("EditBtn");
            [&] { QCOMPARE(rows(), QStringList{"Anna"}); }();
            seams->scripts.push_back(typeAndOk({"BEN"}));
            press("AddBtn");
            return users->result();
        });
        QCOMPARE(nameErrorsShown(), 2);
        QCOMPARE(list->Names, Names{"Anna"});
        QCOMPARE(list->CurrentCalendarIndex, 0);
        QVERIFY(hasFile("Anna"));
    }

    void activateAfterDeletingTheFirstEntry() {
        useCalendars({"Anna", "Ben", "Cid"}, 2, {"Anna"});
        const int result = openUsers([&] {
            usersList()->setCurrentRow(0);
            press("DelBtn");
            [&] {
                QCOMPARE(usersList()->currentRow(), -1);
                QVERIFY(usersList()->selectedItems().isEmpty());
                QCOMPARE(users->selectedIndex(), -1);
            }();
            // Nothing highlighted: rename and delete do nothing.
            press("EditBtn");
            press("DelBtn");
            press("OKBtn");
            return users->result();
        });
        QCOMPARE(result, int(mrOk));
        QCOMPARE(seams->modalClasses.count(QStringLiteral("orv::TChgUserDlg")), 0);
        QCOMPARE(int(seams->messages.size()), 1);  // the one confirmation
        QCOMPARE(list->Names, (Names{"Ben", "Cid"}));
        QCOMPARE(list->CurrentCalendarIndex, 0);
    }

    void hintPanelShowsTheHintUnderTheMouse() {
        useCalendars({"Anna"}, 0);
        QString whileOpen;
        QString listHint;
        openUsers([&] {
            context->hints().hintFor(part<QPushButton>(users.get(), "DelBtn"));
            whileOpen = label(users.get(), "HintPanel")->text();
            context->hints().hintFor(usersList());
            listHint = label(users.get(), "HintPanel")->text();
            press("CancelBtn");
            return users->result();
        });
        QCOMPARE(whileOpen, QStringLiteral("Delete the calendar highlighted in the list box."));
        QCOMPARE(listHint, QStringLiteral("Click to select a different calendar. Double click to activate."));
        // Closed: the window no longer takes the hints.
        context->hints().hintFor(part<QPushButton>(users.get(), "AddBtn"));
        QVERIFY(label(users.get(), "HintPanel")->text().isEmpty());
    }
};

QTEST_MAIN(UsersWindowsTest)
#include "users_windows_test.moc"
