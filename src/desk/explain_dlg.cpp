#include "desk/explain_dlg.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "app/forms.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"

namespace orv {
namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 300;

}  // namespace

TExplainDlg::TExplainDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QStringLiteral("Removing Repeating Events..."));
    setFixedSize(kWidth, kHeight);
    setFont(sansSerifFont(11));

    Label1 = new QLabel(
        QStringLiteral("To remove a repeating event, highlight the text to be removed in the reminder box containing "
                       "the first entry you want to delete. This is done by clicking on the first or last character "
                       "and dragging the mouse over the text you want to select."),
        this);
    Label1->setWordWrap(true);
    Label1->setGeometry(16, 12, kWidth - 32, 64);

    Label2 = new QLabel(QStringLiteral("Ensure that the \"<\" character is the first character selected and that "
                                       "\">\" is the last character selected (see below)."),
                        this);
    Label2->setWordWrap(true);
    Label2->setGeometry(16, 84, kWidth - 32, 36);

    // A white day cell like the week page's, its marked line shown selected.
    Sample = new QFrame(this);
    Sample->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Sample->setGeometry((kWidth - 129) / 2, 130, 129, 110);
    Sample->setAutoFillBackground(true);
    QPalette white = Sample->palette();
    white.setColor(QPalette::Window, Qt::white);
    Sample->setPalette(white);
    SampleDay = new QLabel(QStringLiteral("22"), Sample);
    SampleDay->setFont(arialFont(11, true));
    SampleDay->setGeometry(108, 2, 18, 16);
    SampleDay->setAlignment(Qt::AlignRight | Qt::AlignTop);
    SampleText = new QLabel(Sample);
    SampleText->setFont(arialPointFont(8));
    SampleText->setGeometry(4, 4, 104, 40);
    SampleText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SampleText->setTextFormat(Qt::RichText);
    const QPalette pal = palette();
    SampleText->setText(QStringLiteral("Doctor 10am<br><span style=\"background-color:%1; color:%2\">"
                                       "&lt;Cash to bank&gt;</span>")
                            .arg(pal.color(QPalette::Active, QPalette::Highlight).name(),
                                 pal.color(QPalette::Active, QPalette::HighlightedText).name()));

    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setGeometry((kWidth - 75) / 2, 258, 75, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, [this] { done(mrOk); });

    forms().ExplainDlg = this;
}

TExplainDlg::~TExplainDlg() {
    if (forms().ExplainDlg == this) forms().ExplainDlg = nullptr;
}

void TExplainDlg::showEvent(QShowEvent* event) {
    const QRect screen = uiSeams().screenGeometry();
    move(screen.x() + (screen.width() - width()) / 2, screen.y() + (screen.height() - height()) / 2);
    QDialog::showEvent(event);
}

}  // namespace orv
