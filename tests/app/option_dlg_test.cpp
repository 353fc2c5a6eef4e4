#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <cstdlib>
#include <filesystem>

#include "app/app_state.h"
#include "app/forms.h"
#include "app/option_dlg.h"
#include "app/start_link.h"
#include "common/ini_file.h"
#include "support/fake_seams.h"
#include "support/temp_dir.h"

using namespace orv;

namespace {

// Shows the window through the seams and lets the script act on it; returns the window's answer.
int showWith(TOptionDlg& dlg, test::FakeSeams& seams, std::function<void(TOptionDlg&)> act) {
    seams.scripts.push_back([&dlg, act](QDialog*) {
        act(dlg);
        return dlg.result();
    });
    return uiSeams().execModal(&dlg);
}

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
        seams = std::make_unique<test::FakeSeams>();
        appState().setProgramFolder(dir->path());
        appState().settings.Tile = 0;
        appState().settings.ShowUsage = true;
        appState().settings.Size = 1;
        dlg = std::make_unique<TOptionDlg>();
        weekStarts.clear();
        calls.clear();
        dlg->applyWeekStart = [this](int w) { weekStarts.push_back(w); };
        dlg->gridDate = [] { return 45000; };
        dlg->flushStore = [this] { calls << "flush"; };
        dlg->openStore = [this] { calls << "open"; };
        dlg->showYearlyDates = [this](int date) { calls << QStringLiteral("yearly %1").arg(date); };
        dlg->createStartLink = [this] { calls << "create link"; };
        dlg->deleteStartLink = [this] { calls << "delete link"; };
    }
    void cleanup() {
        dlg.reset();
        seams.reset();
        dir.reset();
    }

    void controlsCaptionsAndRegistration() {
        QCOMPARE(dlg->windowTitle(), QStringLiteral("Options..."));
        QCOMPARE(forms().OptionDlg, dlg.get());
        QCOMPARE(dlg->rgDisplay->title(), QStringLiteral(" Calendar Display "));
        QCOMPARE(dlg->rbSunday->text(), QStringLiteral("Week starts with Sunday"));
        QCOMPARE(dlg->rbMonday->text(), QStringLiteral("Week starts with Monday"));
        QCOMPARE(dlg->cbAuto->text(), QStringLiteral("Start calendar automatically"));
        QCOMPARE(dlg->cbDots->text(), QStringLiteral("Show dots in main calendar"));
        QCOMPARE(dlg->PrintBtn->text(), QStringLiteral("Print Page For This Month"));
        QCOMPARE(dlg->BitBtn3->text(), QStringLiteral("Appointments, Dates And Events"));
        QCOMPARE(dlg->BackupBtn->text(), QStringLiteral("Backup/Restore Calendars"));
        QCOMPARE(dlg->sbNone->text(), QStringLiteral("Your System Colors"));
        QCOMPARE(dlg->BitBtn2->text(), QStringLiteral("Cancel"));
        QVERIFY(dlg->cbAuto->isChecked());
        QCOMPARE(dlg->displayIndex(), 0);
        // The size group lies wholly above the visible area.
        QVERIFY(dlg->rgSize->geometry().bottom() < 0);
        QVERIFY(dlg->cbAuto->toolTip().contains(QStringLiteral("Windows starts up")));
        QCOMPARE(dlg->sbBrown->toolTip(), QStringLiteral("Set background texture"));
        dlg.reset();
        QCOMPARE(forms().OptionDlg, nullptr);
    }

    void resultsOfTheButtons() {
        QCOMPARE(showWith(*dlg, *seams, [](TOptionDlg& d) { d.PrintBtn->click(); }), 4);
        QCOMPARE(showWith(*dlg, *seams, [](TOptionDlg& d) { d.BackupBtn->click(); }), 8);
        QVERIFY(calls.isEmpty());
        QCOMPARE(showWith(*dlg, *seams, [](TOptionDlg& d) { d.BitBtn3->click(); }), int(mrOk));
        QCOMPARE(calls, QStringList({"flush", "open", "yearly 45000", "flush"}));
        calls.clear();
        QCOMPARE(showWith(*dlg, *seams, [](TOptionDlg& d) { d.BitBtn1->click(); }), int(mrOk));
        QCOMPARE(calls, QStringList({"create link"}));
        calls.clear();
        QCOMPARE(showWith(*dlg, *seams, [](TOptionDlg& d) {
                     d.cbAuto->setChecked(false);
                     d.BitBtn1->click();
                 }),
                 int(mrOk));
        QCOMPARE(calls, QStringList({"delete link"}));
    }

    void everyCloseStoresTheChoices() {
        const std::string file = appState().settingsFile();
        const std::function<void(TOptionDlg&)> closers[] = {
            [](TOptionDlg& d) { d.PrintBtn->click(); },
            [](TOptionDlg& d) { d.BackupBtn->click(); },
            [](TOptionDlg& d) { d.BitBtn1->click(); },
            [](TOptionDlg& d) { d.BitBtn2->click(); },
            [](TOptionDlg& d) { QTest::keyClick(&d, Qt::Key_Escape); },
            [](TOptionDlg& d) { d.close(); },
        };
        for (const auto& close : closers) {
            std::filesystem::remove(file);
            showWith(*dlg, *seams, [&](TOptionDlg& d) {
                d.rbMonday->click();
                d.cbAuto->setChecked(false);
                close(d);
            });
            QCOMPARE(stored(file, "cbAuto_Checked"), std::string("False"));
            QCOMPARE(stored(file, "rgDisplay_ItemIndex"), std::string("1"));
            // Back to the first state for the next way of closing.
            dlg->rbSunday->click();
            dlg->cbAuto->setChecked(true);
            dlg->SaveOptions();
        }
    }

    void cancelTakesBackTheTextureOnly() {
        appState().settings.Tile = 3;
        const int r = showWith(*dlg, *seams, [](TOptionDlg& d) {
            QCOMPARE(d.SavedTile, 3);
            QVERIFY(d.sbBlue->isChecked());
            d.sbGreen->click();
            QCOMPARE(appState().settings.Tile, 2);  // seen at once behind the window
            d.rbMonday->click();
            d.cbAuto->setChecked(false);
            d.BitBtn2->click();
        });
        QCOMPARE(r, int(mrCancel));
        QCOMPARE(appState().settings.Tile, 3);
        QCOMPARE(weekStarts, std::vector<int>({1}));  // Monday stays
        QCOMPARE(dlg->displayIndex(), 1);
        QVERIFY(calls.isEmpty());  // the link is neither created nor deleted
        QCOMPARE(stored(appState().settingsFile(), "cbAuto_Checked"), std::string("False"));
    }

    void systemColoursAndOk() {
        const int r = showWith(*dlg, *seams, [](TOptionDlg& d) {
            d.sbNone->click();
            d.BitBtn1->click();
        });
        QCOMPARE(r, int(mrOk));
        QCOMPARE(appState().settings.Tile, 5);
        QVERIFY(dlg->sbNone->isChecked());
    }

    void storedChoicesAreRestoredAtEveryShowing() {
        test::TempDir& d = *dir;
        d.write("Orvella.INI", "[Autostart]\r\ncbAuto_Checked=False\r\nrgDisplay_ItemIndex=1\r\n");
        showWith(*dlg, *seams, [](TOptionDlg& o) {
            QVERIFY(!o.cbAuto->isChecked());
            QCOMPARE(o.displayIndex(), 1);
            o.BitBtn2->click();
        });
        QCOMPARE(weekStarts, std::vector<int>({1}));  // the click handler ran for the new item
        // The same item again does not run it again.
        dlg->RestoreOptions();
        QCOMPARE(weekStarts, std::vector<int>({1}));
        // A first start: no section, the controls keep what they show.
        std::filesystem::remove(d.file("Orvella.INI"));
        dlg->cbAuto->setChecked(true);
        dlg->RestoreOptions();
        QVERIFY(dlg->cbAuto->isChecked());
        QCOMPARE(dlg->displayIndex(), 1);
        // A value that is no whole number selects Sunday.
        d.write("Orvella.INI", "[Autostart]\r\nrgDisplay_ItemIndex=Mon\r\n");
        dlg->RestoreOptions();
        QCOMPARE(dlg->displayIndex(), 0);
        QCOMPARE(weekStarts, std::vector<int>({1, 0}));
    }

    void dotsAndSizeFollowTheSettings() {
        appState().settings.ShowUsage = false;
        appState().settings.Size = 7;
        showWith(*dlg, *seams, [](TOptionDlg& o) {
            QVERIFY(!o.cbDots->isChecked());
            QCOMPARE(o.sizeIndex(), 1);
            o.cbDots->setChecked(true);
            o.BitBtn1->click();
        });
        QVERIFY(appState().settings.ShowUsage);
        appState().settings.Size = -1;
        showWith(*dlg, *seams, [](TOptionDlg& o) {
            QCOMPARE(o.sizeIndex(), -1);
            o.BitBtn2->click();
        });
    }

    void theStartLinkIsCreatedOnceAndDeleted() {
        test::TempDir config;
        std::filesystem::create_directory(config.file("autostart"));
        ::setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
        TOptionDlg real;  // with its own reach into the desktop
        const auto ok = [&](bool autoStart) {
            showWith(real, *seams, [autoStart](TOptionDlg& o) {
                o.cbAuto->setChecked(autoStart);
                o.BitBtn1->click();
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
        ::unsetenv("XDG_CONFIG_HOME");
    }

private:
    std::unique_ptr<test::TempDir> dir;
    std::unique_ptr<test::FakeSeams> seams;
    std::unique_ptr<TOptionDlg> dlg;
    std::vector<int> weekStarts;
    QStringList calls;
};

QTEST_MAIN(OptionDlgTest)
#include "option_dlg_test.moc"
