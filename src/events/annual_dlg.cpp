#include "events/annual_dlg.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStackedWidget>
#include <QStyle>
#include <QTableView>
#include <QTimer>
#include <algorithm>

#include "app/app_state.h"
#include "app/forms.h"
#include "common/clock.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "common/error_guard.h"
#include "common/hint_router.h"
#include "common/qt_text.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "events/birthday_grid_delegate.h"
#include "events/birthday_table_model.h"
#include "events/check_dlg.h"
#include "events/ds_dlg.h"
#include "events/entry_stamper.h"
#include "store/cal_db.h"

namespace orv {
namespace {

using B = BirthdayList;

// Window and page layout, in pixels.
constexpr int kWidth = 560;
constexpr int kHeight = 452;
constexpr int kRowHeight = 20;     // header and data rows of the grid
constexpr int kButtonTop = 404;
constexpr int kButtonHeight = 32;
// Room in an option's caption for its spin box: "Repeat every" + 21 blanks + the unit.
const QString kRepeatEvery = QStringLiteral("Repeat every") + QString(21, QChar(' '));
const QColor kGrey(128, 128, 128);
const QColor kBlue(0, 0, 255);

const QDate kDayZero(1899, 12, 30);
QDate toQDate(int day) { return kDayZero.addDays(day); }
int fromQDate(const QDate& date) { return static_cast<int>(kDayZero.daysTo(date)); }

struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

void setTextColour(QWidget* w, const QColor& colour) {
    QPalette p = w->palette();
    for (const auto role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) p.setColor(role, colour);
    w->setPalette(p);
}

QLabel* label(QWidget* parent, const QString& text, const QRect& geometry, bool bold = false) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(geometry);
    if (bold) {
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
    }
    return l;
}

QPushButton* button(QWidget* parent, const QString& caption, const QRect& geometry, QStyle::StandardPixmap glyph) {
    auto* b = new QPushButton(parent->style()->standardIcon(glyph), caption, parent);
    b->setGeometry(geometry);
    b->setAutoDefault(false);
    return b;
}

bool isCheckColumn(int column) { return column == B::colCard || column == B::colGift; }

}  // namespace

TAnnualDlg::TAnnualDlg(QWidget* parent, std::string eventsFile)
    : QDialog(parent), eventsFile_(eventsFile.empty() ? appState().eventsFile() : std::move(eventsFile)) {
    setWindowTitle(QStringLiteral("Repeating Events"));
    setFont(sansSerifFont(13));
    setFixedSize(kWidth, kHeight);

    model_ = new BirthdayTableModel(list_, this);
    delegate_ = new BirthdayGridDelegate(this);

    // The pages are switched by the callers only; there are no tabs. Page 1 is never shown.
    Notebook = new QStackedWidget(this);
    Notebook->setGeometry(0, 0, kWidth, kHeight);
    Notebook->addWidget(buildBirthdaysPage());
    Notebook->addWidget(new QWidget);
    Notebook->addWidget(buildRepeatingPage());

    forms().AnnualDlg = this;
    LoadEventsFile();
}

TAnnualDlg::~TAnnualDlg() {
    if (forms().AnnualDlg == this) forms().AnnualDlg = nullptr;
}

QWidget* TAnnualDlg::buildBirthdaysPage() {
    auto* page = new QWidget;
    lHeading = label(page, QStringLiteral("Adding Birthdays and Anniversaries"), {12, 8, kWidth - 24, 26});
    lHeading->setFont(arialFont(18, true));
    lHeading->setAlignment(Qt::AlignCenter);
    lInstructions = label(page,
                          QStringLiteral("Type the name of the person or the occasion and the event, such as a "
                                         "birthday or a wedding anniversary; tick Card or Gift to remind yourself "
                                         "to send a card or buy a present. Please enter the month and day as "
                                         "numbers. Eg August 14th is entered as 8 then 14."),
                          {12, 38, kWidth - 24, 48});
    lInstructions->setWordWrap(true);

    sg1 = new QTableView(page);
    sg1->setModel(model_);
    sg1->setItemDelegate(delegate_);
    sg1->setFont(arialFont(BirthdayTableModel::kDataFontPixels));
    sg1->setSelectionMode(QAbstractItemView::SingleSelection);
    sg1->setSelectionBehavior(QAbstractItemView::SelectItems);
    // The editor is always shown: it opens as soon as a text cell takes the cursor.
    sg1->setEditTriggers(QAbstractItemView::CurrentChanged | QAbstractItemView::DoubleClicked |
                         QAbstractItemView::SelectedClicked | QAbstractItemView::AnyKeyPressed);
    sg1->setTabKeyNavigation(true);
    sg1->setWordWrap(false);
    sg1->setCornerButtonEnabled(false);
    sg1->verticalHeader()->hide();
    sg1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    sg1->verticalHeader()->setMinimumSectionSize(kRowHeight);
    sg1->verticalHeader()->setDefaultSectionSize(kRowHeight);
    QHeaderView* header = sg1->horizontalHeader();
    header->setFixedHeight(kRowHeight);
    header->setMinimumSectionSize(B::kMinWidth);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setSectionsClickable(true);
    header->setFont(arialFont(BirthdayTableModel::kDataFontPixels, true));
    header->setStyleSheet(QStringLiteral("QHeaderView::section { background-color: rgb(192, 220, 192); color: black;"
                                         " font-weight: bold; border: 0px; border-right: 1px solid grey;"
                                         " border-bottom: 1px solid grey; padding: 0px 2px; }"));
    sg1->setStyleSheet(QStringLiteral("QTableView { gridline-color: silver; }"));
    sg1->installEventFilter(this);
    // As wide as the default columns and a vertical scroll bar, in the middle of the page.
    int gridWidth = 2 * sg1->frameWidth() + sg1->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (const int w : B::kDefaultWidths) gridWidth += w;
    sg1->setGeometry((kWidth - gridWidth) / 2, 92, gridWidth, 302);

    delegate_->setValidator([this](const QModelIndex& index, const QString& text) { return sg1CellValidate(index, text); });
    connect(delegate_, &BirthdayGridDelegate::enterPressed, this, &TAnnualDlg::sg1MoveRight);
    connect(delegate_, &BirthdayGridDelegate::editRefused, this, [this](const QModelIndex& index) {
        // The cursor goes back to the refused cell once the click that left it is done.
        QTimer::singleShot(0, this, [this, cell = QPersistentModelIndex(index)] {
            if (!cell.isValid()) return;
            setCursorCell(cell.row(), cell.column());
        });
    });
    connect(sg1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { sg1SelectCell(current); });
    connect(sg1, &QTableView::clicked, this, [this](const QModelIndex& index) {
        if (isCheckColumn(index.column())) model_->toggleCheck(index);
    });
    connect(header, &QHeaderView::sectionClicked, this, &TAnnualDlg::sg1HeaderClick);
    connect(header, &QHeaderView::sectionResized, this,
            [this](int column, int, int size) { list_.setWidth(column, size); });

    pmGrid = new QMenu(this);
    miClearChecks = pmGrid->addAction(QStringLiteral("Clear All Checkboxes"));
    miDeleteRow = pmGrid->addAction(QStringLiteral("Delete the selected row"));
    miInsertRow = pmGrid->addAction(QStringLiteral("Insert a row before the selected position"));
    connect(miClearChecks, &QAction::triggered, this, &TAnnualDlg::ClearChecksClick);
    connect(miDeleteRow, &QAction::triggered, this, &TAnnualDlg::BitBtn8Click);
    connect(miInsertRow, &QAction::triggered, this, &TAnnualDlg::InsertRowClick);
    sg1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(sg1, &QTableView::customContextMenuRequested, this,
            [this](const QPoint& pos) { pmGrid->popup(sg1->viewport()->mapToGlobal(pos)); });

    BitBtn3 = button(page, QStringLiteral("Add Row"), {22, kButtonTop, 100, kButtonHeight}, QStyle::SP_FileDialogNewFolder);
    BitBtn8 = button(page, QStringLiteral("Delete Row"), {128, kButtonTop, 106, kButtonHeight}, QStyle::SP_TrashIcon);
    BitBtn9 = button(page, QStringLiteral("Add These Items To Calendar"), {240, kButtonTop, 200, kButtonHeight},
                     QStyle::SP_DialogApplyButton);
    setHint(BitBtn9, QStringLiteral("Add these items to the currently selected user's calendar"));
    BitBtn2 = button(page, QStringLiteral("Close"), {446, kButtonTop, 92, kButtonHeight}, QStyle::SP_DialogCloseButton);
    connect(BitBtn3, &QPushButton::clicked, this, &TAnnualDlg::BitBtn3Click);
    connect(BitBtn8, &QPushButton::clicked, this, &TAnnualDlg::BitBtn8Click);
    connect(BitBtn9, &QPushButton::clicked, this, &TAnnualDlg::BitBtn9Click);
    connect(BitBtn2, &QPushButton::clicked, this, [this] { done(mrCancel); });
    return page;
}

QWidget* TAnnualDlg::buildRepeatingPage() {
    auto* page = new QWidget;
    label(page, QStringLiteral("1.  Event to be reminded of"), {12, 14, 190, 22}, true);
    eEvent = new QLineEdit(QStringLiteral("[Event]"), page);
    eEvent->setGeometry(204, 12, 334, 26);
    // The entry line "<" + text + ">" + CR LF must fit into a day.
    eEvent->setMaxLength(kMaxDayTextLength - 4);
    setHint(eEvent, QStringLiteral("Description of event to repeat."));

    QLabel* from = label(page, QStringLiteral("2. Start reminders from "), {12, 50, 200, 22}, true);
    const int fromWidth = QFontMetrics(from->font()).horizontalAdvance(from->text());
    lStartDate = label(page, QString(), {12 + fromWidth, 50, 300, 22}, true);
    setTextColour(lStartDate, kBlue);
    QLabel* note = label(page, QStringLiteral("To change this date, click Cancel and choose the new date in the calendar"),
                         {30, 72, 508, 18});
    note->setFont(sansSerifFont(11));

    label(page, QStringLiteral("3.  Select the period to use and how often the reminder should be repeated"),
          {12, 102, 526, 22}, true);

    options_ = new QButtonGroup(this);
    const int indicator = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                          style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    const QFontMetrics fm(font());
    for (int i = 0; i < 4; ++i) {
        const int top = 130 + 30 * i;
        rb[i] = new QRadioButton(page);
        rb[i]->setGeometry(30, top, 300, 24);
        options_->addButton(rb[i], i + 1);
        s[i] = new QSpinBox(page);
        // Over the blanks of the caption, just after "Repeat every ".
        s[i]->setGeometry(30 + indicator + fm.horizontalAdvance(QStringLiteral("Repeat every ")), top, 64, 24);
        s[i]->setRange(1, i == 0 ? 365 : 999);
        s[i]->setValue(1);
    }
    rb[4] = new QRadioButton(QStringLiteral("Repeat on the"), page);
    rb[4]->setGeometry(30, 250, 124, 24);
    options_->addButton(rb[4], 5);
    rb[0]->setChecked(true);

    cb1 = new QComboBox(page);
    cb1->setGeometry(156, 250, 64, 24);
    cb1->addItems({QStringLiteral("1st"), QStringLiteral("2nd"), QStringLiteral("3rd"), QStringLiteral("4th")});
    cb2 = new QComboBox(page);
    cb2->setGeometry(226, 250, 108, 24);
    cb2->addItems({QStringLiteral("Sunday"), QStringLiteral("Monday"), QStringLiteral("Tuesday"),
                   QStringLiteral("Wednesday"), QStringLiteral("Thursday"), QStringLiteral("Friday"),
                   QStringLiteral("Saturday")});
    label(page, QStringLiteral("of every"), {342, 250, 60, 24});
    cb3 = new QComboBox(page);
    cb3->setGeometry(404, 250, 112, 24);
    cb3->addItems({QStringLiteral("month"), QStringLiteral("2nd month"), QStringLiteral("3rd month"),
                   QStringLiteral("4th month"), QStringLiteral("6th month")});

    label(page, QStringLiteral("4.  Repeat for the next"), {12, 296, 162, 24}, true);
    s[4] = new QSpinBox(page);
    s[4]->setGeometry(176, 296, 64, 24);
    s[4]->setRange(1, 999);
    s[4]->setValue(1);
    lYear = label(page, QStringLiteral("year,"), {246, 296, 48, 24});
    label(page, QStringLiteral("or until"), {296, 296, 56, 24});
    cDate = new QDateEdit(page);
    cDate->setGeometry(354, 296, 130, 24);
    cDate->setCalendarPopup(true);
    cDate->setDateRange(QDate(kMinYear, 1, 1), QDate(kMaxYear, 12, 31));
    // The system's short date form, always with four-digit years.
    QString format = QLocale::system().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy"))) format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    cDate->setDisplayFormat(format);

    label(page, QStringLiteral("Click Done to add reminders to the current calendar"), {12, 344, 526, 20})
        ->setFont(sansSerifFont(11));

    bRepDone = button(page, QStringLiteral("Done"), {340, kButtonTop, 96, kButtonHeight}, QStyle::SP_DialogOkButton);
    bRepCancel = button(page, QStringLiteral("Cancel"), {442, kButtonTop, 96, kButtonHeight},
                        QStyle::SP_DialogCancelButton);
    connect(bRepDone, &QPushButton::clicked, this, &TAnnualDlg::BitBtn6Click);
    connect(bRepCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });

    for (int i = 0; i < 4; ++i) {
        connect(rb[i], &QRadioButton::clicked, this, [this, i] { rb1Click(i + 1); });
        connect(s[i], &QSpinBox::valueChanged, this, [this, i] { rb1Click(i + 1); });
    }
    connect(rb[4], &QRadioButton::clicked, this, &TAnnualDlg::s5Change);
    connect(s[4], &QSpinBox::valueChanged, this, &TAnnualDlg::s5Change);
    for (QSpinBox* box : s) {
        box->installEventFilter(this);
        if (auto* edit = box->findChild<QLineEdit*>()) edit->installEventFilter(this);
    }
    for (QComboBox* list : {cb1, cb2, cb3})
        connect(list, &QComboBox::currentIndexChanged, this, &TAnnualDlg::cb1Change);

    updateCaptions();
    updateHighlight();
    return page;
}

int TAnnualDlg::ShowBirthdays(int startDate) {
    StartDate = startDate;
    Page = kPageBirthdays;
    return uiSeams().execModal(this);
}

int TAnnualDlg::ShowRepeating(int startDate) {
    StartDate = startDate;
    Page = kPageRepeating;
    return uiSeams().execModal(this);
}

void TAnnualDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (Page == kPageRepeating) {
        Notebook->setCurrentIndex(kPageRepeating);
        bRepDone->setDefault(true);
        updateCaptions();
        {
            const QSignalBlocker b1(cb1), b2(cb2), b3(cb3);
            cb1->setCurrentIndex(0);
            cb2->setCurrentIndex(0);
            cb3->setCurrentIndex(0);
        }
        resetUntilDate();
        lStartDate->setText(fromCp1252(formatDate("ddd d mmmm yyyy", StartDate, systemDateNames())));
        eEvent->setFocus();
        eEvent->selectAll();
        updateHighlight();
    } else {
        Notebook->setCurrentIndex(kPageBirthdays);
        bRepDone->setDefault(false);
        const QModelIndex current = sg1->currentIndex();
        setCursorCell(current.isValid() ? current.row() : 0, current.isValid() ? current.column() : B::colName);
    }
}

void TAnnualDlg::done(int result) {
    // Whatever closes the window, the list is written.
    delegate_->commitOpenEdit();
    SaveEventsFile();
    QDialog::done(result);
}

void TAnnualDlg::reject() { done(mrCancel); }

bool TAnnualDlg::eventFilter(QObject* object, QEvent* event) {
    if (object == sg1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            sg1MoveRight();
            return true;
        }
        if (key == Qt::Key_Space && isCheckColumn(sg1->currentIndex().column())) {
            model_->toggleCheck(sg1->currentIndex());
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        for (int i = 0; i < 5; ++i) {
            if (object != s[i] && object->parent() != s[i]) continue;
            if (i < 4) rb1Click(i + 1);
            else s5Change();
            break;
        }
    }
    return QDialog::eventFilter(object, event);
}

// ---------------------------------------------------------------------------------------------------------
// Page 0: the birthday list

void TAnnualDlg::LoadEventsFile() {
    const auto failure = list_.LoadEventsFile(eventsFile_);
    model_->reset();
    applyWidths();
    if (failure) showError(this, QString::fromUtf8(failure->c_str()));
}

void TAnnualDlg::SaveEventsFile() {
    model_->purgeIncomplete();
    guarded(this, [this] { list_.SaveEventsFile(eventsFile_); });
}

void TAnnualDlg::applyWidths() {
    const QSignalBlocker block(sg1->horizontalHeader());
    for (int c = 0; c < B::kColumnCount; ++c) sg1->horizontalHeader()->resizeSection(c, list_.width(c));
}

int TAnnualDlg::cursorRow() const {
    const QModelIndex current = sg1->currentIndex();
    return current.isValid() ? current.row() : 0;
}

void TAnnualDlg::setCursorCell(int row, int column) {
    // The grid takes the focus first: an open editor that loses the focus afterwards would close.
    sg1->setFocus();
    const QModelIndex index = model_->index(std::clamp(row, 0, list_.rowCount() - 1), column);
    if (sg1->currentIndex() != index) sg1->setCurrentIndex(index);
    else if ((model_->flags(index) & Qt::ItemIsEditable) && !delegate_->openEditor()) sg1->edit(index);
    sg1->scrollTo(index);
}

void TAnnualDlg::sg1SelectCell(const QModelIndex& index) {
    if (!index.isValid()) return;
    if (index.column() == B::colNo) {
        // The fixed column never holds the cursor.
        QTimer::singleShot(0, this, [this, row = index.row()] { setCursorCell(row, B::colName); });
        return;
    }
    if (index.column() == B::colEvent && list_.cell(B::colEvent, index.row() + 1).empty())
        model_->setData(index, QStringLiteral("Birthday"), Qt::EditRole);
}

bool TAnnualDlg::sg1CellValidate(const QModelIndex& index, const QString& newText) {
    QString bad;
    const auto text = toCp1252(newText, &bad);
    if (!text) {
        showWarning(this, unrepresentableMessage(bad));
        return false;
    }
    if ((index.column() == B::colMonth || index.column() == B::colDay) && !parseWholeNumber(*text)) {
        showWarning(this, QStringLiteral("This entry must be a whole number."));
        return false;
    }
    return true;
}

void TAnnualDlg::sg1AutoInsertRow() { model_->appendRow(); }

void TAnnualDlg::sg1MoveRight() {
    const QModelIndex current = sg1->currentIndex();
    const int row = current.isValid() ? current.row() : 0;
    const int column = current.isValid() ? current.column() : B::colNo;
    if (column < B::colGift) {
        setCursorCell(row, column + 1);
        return;
    }
    if (row == list_.rowCount() - 1) sg1AutoInsertRow();
    setCursorCell(row + 1, B::colName);
}

bool TAnnualDlg::sg1CanSort(int column) const { return list_.canSort(column); }

void TAnnualDlg::sg1HeaderClick(int column) {
    QHeaderView* header = sg1->horizontalHeader();
    const auto showDirection = [this, header] {
        header->setSortIndicatorShown(list_.sortColumn() >= 0);
        header->setSortIndicator(list_.sortColumn(),
                                 list_.sortAscending() ? Qt::AscendingOrder : Qt::DescendingOrder);
    };
    if (!sg1CanSort(column) || !delegate_->commitOpenEdit()) {
        showDirection();
        return;
    }
    model_->sortBy(column);
    showDirection();
    setCursorCell(0, B::colName);
}

void TAnnualDlg::BitBtn3Click() {
    delegate_->commitOpenEdit();
    model_->appendRow();
    setCursorCell(list_.rowCount() - 1, B::colName);
}

void TAnnualDlg::BitBtn8Click() {
    delegate_->commitOpenEdit();
    const int row = cursorRow();
    if (row == 0 && list_.rowCount() == 1) {
        uiSeams().beep();
        return;
    }
    if (!askYesNo(this, QStringLiteral("Delete selected row ?"))) return;
    model_->removeRowAt(row);
    setCursorCell(std::min(row, list_.rowCount() - 1), B::colName);
}

void TAnnualDlg::InsertRowClick() {
    delegate_->commitOpenEdit();
    const int row = cursorRow();
    model_->insertRowAt(row);
    setCursorCell(row, B::colName);
}

void TAnnualDlg::ClearChecksClick() { model_->clearAllChecks(); }

void TAnnualDlg::BitBtn9Click() {
    delegate_->commitOpenEdit();
    const int year = toYmd(StartDate).year;
    if (!askYesNo(this, QStringLiteral("Add birthdays to calendar for ") + QString::number(year) + QStringLiteral(" ?")))
        return;
    bool close = true;
    guarded(this, [this, year, &close] {
        const std::vector<StampItem> items = birthdayItems(list_, year);
        StampResult r;
        {
            WaitCursor wait;
            r = stampItems(appState().store, items);
        }
        if (r.refused) {
            showError(this, QString::fromStdString(capacityMessage(r)));
            close = false;
            return;
        }
        if (!r.tooLong.empty()) {
            std::vector<int> skipped;
            for (const size_t i : r.tooLong) skipped.push_back(items[i].date);
            showWarning(this, fromCp1252(tooLongMessage(skipped, systemDateNames())));
        }
    });
    if (close) done(mrOk);
}

// ---------------------------------------------------------------------------------------------------------
// Page 2: a repetition

int TAnnualDlg::selectedKind() const {
    for (int i = 0; i < 5; ++i)
        if (rb[i]->isChecked()) return i + 1;
    return rkDays;
}

void TAnnualDlg::selectOption(int option) {
    if (option >= 1 && option <= 5) rb[option - 1]->setChecked(true);
}

void TAnnualDlg::updateCaptions() {
    static const char* const kUnits[4][2] = {{"days", "day"}, {"weeks", "week"}, {"months", "month"}, {"years", "year"}};
    for (int i = 0; i < 4; ++i)
        rb[i]->setText(kRepeatEvery + QString::fromLatin1(kUnits[i][s[i]->value() > 1 ? 0 : 1]));
    lYear->setText(s[4]->value() > 1 ? QStringLiteral("years,") : QStringLiteral("year,"));
}

void TAnnualDlg::updateHighlight() {
    const int selected = selectedKind();
    for (int i = 0; i < 5; ++i) {
        const QColor& colour = selected == i + 1 ? kBlue : kGrey;
        setTextColour(rb[i], colour);
        if (i < 4) setTextColour(s[i], colour);
    }
    for (QComboBox* list : {cb1, cb2, cb3}) setTextColour(list, selected == rkNthWeekday ? kBlue : kGrey);
}

void TAnnualDlg::resetUntilDate() {
    const QSignalBlocker block(cDate);
    cDate->setDate(toQDate(appState().today()));
}

void TAnnualDlg::rb1Click(int option) {
    updateCaptions();
    selectOption(option);
    updateHighlight();
}

void TAnnualDlg::s5Change() {
    updateCaptions();
    resetUntilDate();
    updateHighlight();
}

void TAnnualDlg::cb1Change() {
    selectOption(rkNthWeekday);
    updateHighlight();
}

RepeatSettings TAnnualDlg::repeatSettings() const {
    static const int kEveryMonths[] = {1, 2, 3, 4, 6};
    RepeatSettings r;
    r.StartDate = StartDate;
    r.RepeatKind = selectedKind();
    if (r.RepeatKind == rkNthWeekday) {
        r.Interval = kEveryMonths[std::clamp(cb3->currentIndex(), 0, 4)];
        r.NthOccurrence = std::clamp(cb1->currentIndex(), 0, 3) + 1;
        r.Weekday = std::clamp(cb2->currentIndex(), 0, 6) + 1;
    } else {
        r.Interval = s[r.RepeatKind - 1]->value();
    }
    r.YearsToRepeat = s[4]->value();
    const QDate until = cDate->date();
    r.UntilDate = until.isValid() ? effectiveUntilDate(fromQDate(until), appState().today()) : 0;
    return r;
}

std::string TAnnualDlg::entryLine() const {
    const auto text = toCp1252(eEvent->text());
    return text ? "<" + *text + ">\r\n" : std::string();
}

void TAnnualDlg::BitBtn6Click() {
    const QString text = eEvent->text();
    if (text.isEmpty() || text.compare(QStringLiteral("[Event]"), Qt::CaseInsensitive) == 0) {
        showInformation(this, QStringLiteral("Please enter some text in the \"Event\" box."));
        eEvent->setFocus();
        return;
    }
    QString bad;
    if (!toCp1252(text, &bad)) {
        showWarning(this, unrepresentableMessage(bad));
        eEvent->setFocus();
        return;
    }
    RepeatSettings settings = repeatSettings();
    if (settings.RepeatKind != rkNthWeekday && settings.Interval == 0) {
        showError(this, QStringLiteral("Cannot locate interval"));
        return;
    }
    // A monthly repetition from the 29th to the 31st meets months without that day: ask what to do there.
    const int startDay = toYmd(StartDate).day;
    if (settings.RepeatKind == rkMonths && startDay > 28) {
        TDSDlg* ds = dsDlg();
        ds->Day = startDay;
        const int answer = uiSeams().execModal(ds);
        if (answer == mrYes) settings.missingDay = MissingDay::Nearest;
        else if (answer == mrNo) settings.missingDay = MissingDay::SkipMonth;
        else return;
    }
    std::vector<int> dates;
    if (!guarded(this, [&] {
            WaitCursor wait;
            dates = expandRepetition(settings);
        }))
        return;
    TCheckDlg* check = checkDlg();
    check->Dates = std::move(dates);
    check->EntryLine = entryLine();
    const int answer = uiSeams().execModal(check);
    check->Dates.clear();
    check->Dates.shrink_to_fit();
    if (answer == mrOk) done(mrOk);
}

TCheckDlg* TAnnualDlg::checkDlg() {
    if (forms().CheckDlg) return forms().CheckDlg;
    if (!ownCheckDlg_) ownCheckDlg_ = new TCheckDlg(this);
    return ownCheckDlg_;
}

TDSDlg* TAnnualDlg::dsDlg() {
    if (forms().DSDlg) return forms().DSDlg;
    if (!ownDsDlg_) ownDsDlg_ = new TDSDlg(this);
    return ownDsDlg_;
}

}  // namespace orv
