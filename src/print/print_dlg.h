#pragma once
// The picture calendar page ("Print Preview"): the month's picture in a frame over the background texture,
// below it the month name, the year and the month grid. What is printed is this page, scaled to the sheet;
// it is painted again at the printer's resolution, so its texts stay texts and the picture comes from its
// file at full resolution.

#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

class QDialog;
class QFrame;
class QLabel;
class QPainter;

namespace orv {

class AppContext;
class PrintTarget;
class TQuorCalendar1;

class TPrintDlg : public QWidget {
    Q_OBJECT
public:
    explicit TPrintDlg(AppContext& context, QWidget* parent = nullptr);
    ~TPrintDlg() override;

    // The page's month (from the main window's grid date) and the month pictures, entry m - 1 for month m.
    void setMonth(int date, std::vector<std::string> artwork);
    // The controls window's choices: the picture in grey (JPEG files only), a white background.
    void setChoice(bool mono, bool white);
    bool monoChosen() const { return mono_; }
    bool whiteChosen() const { return white_; }

    // Builds the page for the month and the choices (on each opening and each change of a choice).
    void FormActivate();
    // The whole preview: the page shown and built, the controls window modal beside it, the page hidden
    // when the controls window closes, however it closes.
    void ShowPreview(int date, std::vector<std::string> artwork, QDialog* controls);

    // The controls window's Print: the print dialog, then one job per copy. Failures are shown.
    void PrintBtnClick(QWidget* dialogParent);
    // One job per copy of the page as it stands. Throws PrintError.
    void PrintPage(PrintTarget& target);
    // The page fitted to a sheet of the given size (device pixels) from its top left corner. Throws
    // PrintError for a sheet without area.
    void paintPage(QPainter& painter, QSize sheet);

    // The picture shown in the frame, as decoded from its file; empty when there is none.
    const QImage& picture() const { return picture_; }

    static constexpr int kLeft = 21;
    static constexpr int kTop = 39;

protected:
    void showEvent(QShowEvent* e) override;

private:
    void buildTitle();
    void buildPage();
    void loadPicture(int month);
    void sizeFrame();
    void paintBackgrounds();
    void placeYear();

    AppContext& context_;
    int date_ = 0;
    std::vector<std::string> artwork_;
    bool mono_ = false;
    bool white_ = false;
    QImage picture_;
    QSize naturalSize_;

    QFrame* pTitle_;
    QLabel* lTitle_;
    QFrame* Panel1_;
    QWidget* pb1_;
    QFrame* ImgPanel_;
    QWidget* PicMain_;
    QFrame* Panel2_;
    QWidget* pb6_;
    QLabel* lMonth_;
    QLabel* lYear_;
    TQuorCalendar1* Cal_;
};

}  // namespace orv
