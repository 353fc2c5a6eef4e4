#include "print/print_dlg.h"

#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QPicture>
#include <QPixmap>

#include "app/background_textures.h"
#include "app/img_holder.h"
#include "app/picture_loader.h"
#include "common/app_context.h"
#include "common/date_format.h"
#include "common/day_number.h"
#include "common/error_guard.h"
#include "common/print_target.h"
#include "common/printer_seam.h"
#include "common/ui_fonts.h"
#include "common/ui_seams.h"
#include "common/widgets.h"
#include "print/calendar_page_layout.h"
#include "print/quor_calendar1.h"
#include "program/program.h"

namespace orv {
namespace {

constexpr int kTitleHeight = 30;
constexpr int kPageHeight = kCalendarPageHeight - kTitleHeight;  // 501
// The page's texture starts 3 pixels above the page panel.
const QPoint kBackgroundOrigin(0, -3);
const QRect kInitialFrame(11, 10, 382, 254);
const QRect kCalendarPanel(8, 271, 388, 220);
const QRect kGrid(10, 26, 365, 184);
constexpr int kYearRight = 376;
constexpr int kLabelTop = 4;
constexpr int kMonthLeft = 10;

// A paint box tiling a 50 x 50 texture from a corner at origin; with no texture it paints nothing and the
// panel's face shows. It covers the inside of its panel's border line only, so that nothing of it reaches
// past the panel on paper.
class TextureBox : public QWidget {
public:
    TextureBox(QFrame* parent, QPoint origin) : QWidget(parent), origin_(origin) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(parent->contentsRect());
        lower();
    }
    void setTexture(const QImage& texture) {
        texture_ = texture;
        tile_ = QPixmap::fromImage(texture);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (texture_.isNull()) return;
        QPainter p(this);
        // One tiled fill rather than a picture per tile: a PDF then holds the texture once.
        p.drawTiledPixmap(rect(), tile_, -origin_);
    }

private:
    QImage texture_;
    QPixmap tile_;
    QPoint origin_;
};

// Bold text with a one-pixel shadow to the lower right, on a transparent ground.
class ShadowLabel : public QLabel {
public:
    explicit ShadowLabel(QWidget* parent) : QLabel(parent) {
        setFont(arialFont(16, true));
        setAttribute(Qt::WA_TranslucentBackground);
    }
    void setShadowText(const QString& text) {
        setText(text);
        const QFontMetrics fm(font());
        resize(fm.horizontalAdvance(text) + 1, fm.height() + 1);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setFont(font());
        const int baseline = p.fontMetrics().ascent();
        p.setPen(palette().color(QPalette::Light));
        p.drawText(1, baseline + 1, text());
        p.setPen(Qt::black);
        p.drawText(0, baseline, text());
    }
};

// The month's picture stretched over its frame. The screen gets a copy scaled once; a printout draws the
// decoded picture itself at the printer's resolution.
class PagePicture : public QWidget {
public:
    explicit PagePicture(QWidget* parent) : QWidget(parent) {}
    void setPicture(const QImage* picture) {
        picture_ = picture;
        cache_ = QPixmap();
        update();
    }
    // While the page is captured for a printout the picture is left out: it is drawn afterwards.
    void setLeftOut(bool leftOut) { leftOut_ = leftOut; }

protected:
    void paintEvent(QPaintEvent*) override {
        if (leftOut_ || !picture_ || picture_->isNull() || width() <= 0 || height() <= 0) return;
        // Scaled for the screen's own pixels, so that a dense screen shows it sharp.
        const qreal density = devicePixelRatioF();
        if (cache_.deviceIndependentSize() != QSizeF(size()) || cache_.devicePixelRatio() != density) {
            cache_ =
                QPixmap::fromImage(picture_->scaled(size() * density, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            cache_.setDevicePixelRatio(density);
        }
        QPainter p(this);
        p.drawPixmap(0, 0, cache_);
    }

private:
    const QImage* picture_ = nullptr;
    QPixmap cache_;
    bool leftOut_ = false;
};

// A panel in the face colour with its border line.
QFrame* facePanel(QWidget* parent, QFrame::Shape shape, QFrame::Shadow shadow, int lineWidth) {
    QFrame* f = panel(parent, shape, shadow);
    f->setLineWidth(lineWidth);
    setBackground(f, f->palette().color(QPalette::Button));
    return f;
}

}  // namespace

TPrintDlg::TPrintDlg(AppContext& context, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), context_(context) {
    setWindowTitle(QStringLiteral("Print Preview"));
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(kCalendarPageWidth, kCalendarPageHeight);
    buildTitle();
    buildPage();
    date_ = context_.program().today();
}

TPrintDlg::~TPrintDlg() = default;

void TPrintDlg::buildTitle() {
    pTitle_ = named(new QFrame(this), "pTitle");
    pTitle_->setGeometry(0, 0, kCalendarPageWidth, kTitleHeight);
    pTitle_->setBackgroundRole(QPalette::Highlight);
    pTitle_->setAutoFillBackground(true);
    lTitle_ = named(new QLabel(QStringLiteral("Print Preview"), pTitle_), "lTitle");
    lTitle_->setFont(arialFont(12, true));
    lTitle_->setForegroundRole(QPalette::HighlightedText);
    lTitle_->move(8, 9);
    lTitle_->adjustSize();
}

void TPrintDlg::buildPage() {
    Panel1_ = named(facePanel(this, QFrame::Box, QFrame::Plain, 1), "Panel1");
    Panel1_->setGeometry(0, kTitleHeight, kCalendarPanelWidth, kPageHeight);
    pb1_ = named(new TextureBox(Panel1_, kBackgroundOrigin), "pb1");

    ImgPanel_ = named(facePanel(Panel1_, QFrame::WinPanel, QFrame::Sunken, 2), "ImgPanel");
    ImgPanel_->setGeometry(kInitialFrame);
    PicMain_ = named(new PagePicture(ImgPanel_), "PicMain");
    PicMain_->setGeometry(ImgPanel_->contentsRect());
    static_cast<PagePicture*>(PicMain_)->setPicture(&picture_);

    Panel2_ = named(facePanel(Panel1_, QFrame::Box, QFrame::Plain, 1), "Panel2");
    Panel2_->setGeometry(kCalendarPanel);
    pb6_ = named(new TextureBox(Panel2_, QPoint(0, 0)), "pb6");

    lMonth_ = named(new ShadowLabel(Panel2_), "lMonth");
    lMonth_->move(kMonthLeft, kLabelTop);
    lYear_ = named(new ShadowLabel(Panel2_), "lYear");

    Cal_ = named(new TQuorCalendar1(context_.program().clock, Panel2_), "Cal");
    Cal_->setAccessibleName(QStringLiteral("Month grid"));
    Cal_->setFont(arialFont(11));
    Cal_->SetColor(Qt::white);
    Cal_->SetStartOfWeek(0);
    Cal_->setGeometry(kGrid);
}

void TPrintDlg::setMonth(int date, std::vector<std::string> artwork) {
    date_ = date;
    artwork_ = std::move(artwork);
}

void TPrintDlg::setChoice(bool mono, bool white) {
    mono_ = mono;
    white_ = white;
    FormActivate();
}

void TPrintDlg::showEvent(QShowEvent* e) {
    move(kLeft, kTop);
    QWidget::showEvent(e);
}

void TPrintDlg::FormActivate() {
    Cal_->SetCalendarDate(date_);
    const Ymd ymd = toYmd(date_);
    static_cast<ShadowLabel*>(lMonth_)->setShadowText(QString::fromStdString(monthName(ymd.month)));
    static_cast<ShadowLabel*>(lYear_)->setShadowText(QString::number(ymd.year));
    lYear_->move(kYearRight - lYear_->width(), kLabelTop);
    loadPicture(ymd.month);
    sizeFrame();
    paintBackgrounds();
}

void TPrintDlg::loadPicture(int month) {
    picture_ = QImage();
    naturalSize_ = QSize();
    if (month >= 1 && month <= static_cast<int>(artwork_.size())) {
        const std::string& path = artwork_[static_cast<size_t>(month - 1)];
        PictureLoader loader;
        loader.fastIntegerDct = false;
        loader.jpegOutput = mono_ ? JpegOutput::Grey : JpegOutput::Rgb;
        if (auto loaded = loader.load(path)) {
            picture_ = std::move(loaded->image);
            naturalSize_ = loaded->naturalSize;
        } else {
            // The frame stays empty: no other month's picture under this month's name.
            context_.ui().message(this, MsgIcon::None, failedToLoadMessage(path), MsgButtons::Ok);
        }
    }
    static_cast<PagePicture*>(PicMain_)->setPicture(&picture_);
}

void TPrintDlg::sizeFrame() {
    const int size = sizeGroupIndex(context_.program().settings.Size);
    if (const auto r = CalendarPictureFrame(naturalSize_.width(), naturalSize_.height(), size))
        ImgPanel_->setGeometry(r->left, r->top, r->width, r->height);
    PicMain_->setGeometry(ImgPanel_->contentsRect());
}

void TPrintDlg::paintBackgrounds() {
    const BackgroundTextures& textures = backgroundTextures();
    const QImage& texture = white_ ? textures.image(BackgroundTextures::kWhite, devicePixelRatioF())
                                   : textures.forTile(context_.program().settings.Tile, devicePixelRatioF());
    static_cast<TextureBox*>(pb1_)->setTexture(texture);
    static_cast<TextureBox*>(pb6_)->setTexture(texture);
}

void TPrintDlg::ShowPreview(int date, std::vector<std::string> artwork, QDialog* controls) {
    setMonth(date, std::move(artwork));
    show();
    FormActivate();
    struct HideAfter {
        QWidget* page;
        ~HideAfter() { page->hide(); }
    } hideAfter{this};
    context_.ui().execModal(controls);
}

void TPrintDlg::paintPage(QPainter& painter, QSize sheet) {
    const auto fit = FitToPage(kCalendarPageWidth, kCalendarPageHeight, sheet.width(), sheet.height());
    if (!fit) throw PrintError("The printer's page has no size to print on.");

    // Neither the caption nor its colour goes on paper; both come back whatever happens.
    struct BareTitle {
        QLabel* title;
        QFrame* strip;
        bool titleHidden;
        PagePicture* picture;
        BareTitle(QLabel* t, QFrame* s, QWidget* pic)
            : title(t), strip(s), titleHidden(t->isHidden()), picture(static_cast<PagePicture*>(pic)) {
            title->hide();
            strip->setAutoFillBackground(false);
            picture->setLeftOut(true);
        }
        ~BareTitle() {
            picture->setLeftOut(false);
            strip->setAutoFillBackground(true);
            title->setHidden(titleHidden);
        }
    };
    QPicture page;
    {
        BareTitle bare(lTitle_, pTitle_, PicMain_);
        QPainter capture(&page);
        render(&capture, QPoint(), QRegion(rect()), QWidget::DrawChildren);
    }
    painter.save();
    painter.setClipRect(QRect(0, 0, fit->width, fit->height));
    const double sx = static_cast<double>(fit->width) / kCalendarPageWidth;
    const double sy = static_cast<double>(fit->height) / kCalendarPageHeight;
    // A recorded page scales itself from its own resolution to the device's; that part is taken back.
    const QPaintDevice* device = painter.device();
    painter.save();
    painter.scale(sx * page.logicalDpiX() / device->logicalDpiX(), sy * page.logicalDpiY() / device->logicalDpiY());
    painter.drawPicture(0, 0, page);
    painter.restore();
    painter.scale(sx, sy);
    if (!picture_.isNull()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRectF(PicMain_->mapTo(this, QPoint(0, 0)), PicMain_->size()), picture_);
    }
    painter.restore();
}

void TPrintDlg::PrintPage(PrintTarget& target) {
    const QSize sheet(target.device().width(), target.device().height());
    if (!FitToPage(kCalendarPageWidth, kCalendarPageHeight, sheet.width(), sheet.height()))
        throw PrintError(QStringLiteral("The page of %1 has no size to print on.").arg(target.name()).toStdString());
    printCopies(target, [&](QPainter& painter) { paintPage(painter, sheet); });
}

void TPrintDlg::PrintBtnClick(QWidget* dialogParent) {
    guarded(context_.ui(), dialogParent, [&] {
        const auto target =
            context_.printer().askPrinter(dialogParent, QPageLayout::Portrait, context_.program().settings.PrintFile);
        if (target) PrintPage(*target);
    });
}

}  // namespace orv
