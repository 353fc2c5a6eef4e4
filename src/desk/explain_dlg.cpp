#include "desk/explain_dlg.h"

#include <QFrame>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"

namespace orv {
namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 300;

}  // namespace

TExplainDlg::TExplainDlg(UiSeams& ui, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui_(ui) {
    setWindowTitle(QStringLiteral("Removing Repeating Events..."));
    setFixedSize(kWidth, kHeight);
    setFont(sansSerifFont(11));

    Label1_ = named(
        new QLabel(QStringLiteral(
                       "To remove a repeating event, highlight the text to be removed in the reminder box containing "
                       "the first entry you want to delete. This is done by clicking on the first or last character "
                       "and dragging the mouse over the text you want to select."),
                   this),
        "Label1");
    Label1_->setWordWrap(true);
    Label1_->setGeometry(16, 12, kWidth - 32, 64);

    Label2_ = named(new QLabel(QStringLiteral("Ensure that the \"<\" character is the first character selected "
                                              "and that \">\" is the last character selected (see below)."),
                               this),
                    "Label2");
    Label2_->setWordWrap(true);
    Label2_->setGeometry(16, 84, kWidth - 32, 36);

    // A white day cell like the week page's, its marked line shown selected.
    Sample_ = named(new QFrame(this), "Sample");
    Sample_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Sample_->setGeometry((kWidth - 129) / 2, 130, 129, 110);
    Sample_->setAutoFillBackground(true);
    QPalette white = Sample_->palette();
    white.setColor(QPalette::Window, Qt::white);
    Sample_->setPalette(white);
    SampleDay_ = named(new QLabel(QStringLiteral("22"), Sample_), "SampleDay");
    SampleDay_->setFont(arialFont(11, true));
    SampleDay_->setGeometry(108, 2, 18, 16);
    SampleDay_->setAlignment(Qt::AlignRight | Qt::AlignTop);
    SampleText_ = named(new QLabel(Sample_), "SampleText");
    SampleText_->setFont(arialPointFont(8));
    SampleText_->setGeometry(4, 4, 104, 40);
    SampleText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SampleText_->setTextFormat(Qt::RichText);
    const QPalette pal = palette();
    SampleText_->setText(QStringLiteral("Doctor 10am<br><span style=\"background-color:%1; color:%2\">"
                                        "&lt;Cash to bank&gt;</span>")
                             .arg(pal.color(QPalette::Active, QPalette::Highlight).name(),
                                  pal.color(QPalette::Active, QPalette::HighlightedText).name()));

    OKBtn_ = named(new QPushButton(QStringLiteral("OK"), this), "OKBtn");
    OKBtn_->setGeometry((kWidth - 75) / 2, 258, 75, 25);
    OKBtn_->setDefault(true);
    connect(OKBtn_, &QPushButton::clicked, this, [this] { done(mrOk); });
}

void TExplainDlg::showEvent(QShowEvent* event) {
    const QRect screen = ui_.screenGeometry();
    move(screen.x() + (screen.width() - width()) / 2, screen.y() + (screen.height() - height()) / 2);
    QDialog::showEvent(event);
}

}  // namespace orv
