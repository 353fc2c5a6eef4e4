#pragma once
// The editor of one day's reminder text, used by the week page's cells and the to-do window: it holds
// what a day record can hold (at most 1000 characters with a line break counting two, and for a text
// stored as UTF-8 at most 1019 bytes) and converts to and from the store's form (UTF-8, lines ended by
// CR LF).

#include <QPlainTextEdit>
#include <QStringList>
#include <string>
#include <string_view>

namespace orv {

class UiSeams;

class ReminderEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kLimit = 1000;
    static constexpr int kByteLimit = 1019;
    static const QString& limitWarning();
    static const QString& byteLimitWarning();

    // ui: where the limit warning and its beep go.
    ReminderEditor(UiSeams& ui, QWidget* parent);

    // UTF-8, CR LF between lines; a lone CR or LF also breaks a line. An empty text empties the editor.
    void setStoredText(std::string_view text);
    std::string storedText() const;
    // Whether the text differs from the one last set or saved: a day nobody changed is not written back, so
    // what another tool wrote (a lone CR or LF) stays as it is. A text cut to the limit on loading differs.
    bool isChanged() const;
    void markSaved();
    // The day's text as the store held it when it was set, or as the last save left it: what a save
    // compares the stored text with (CalDb::saveDay).
    const std::string& shownText() const { return shown_; }
    // Another text for the day, the caret kept as far from the start (or from the end) as it was.
    enum class CaretFrom { Start, End };
    void replaceStoredText(std::string_view text, CaretFrom from);
    // The selection in stored form (line breaks as CR LF).
    std::string selectedStoredText() const;
    bool isEmpty() const;
    // The length as the limit counts it: characters, a line break counting as CR and LF.
    int storedLength() const;
    // The lines as the editor breaks them at its present width, shown or not (a printout shows them so).
    QStringList visualLines() const;

    void setColours(const QColor& base, const QColor& text);
    QColor baseColour() const;

    // Over a limit: the default beep, the warning that names it, then the text is cut to its first 1000
    // characters, or to what 1019 bytes of UTF-8 hold (a line break or a character is never split). True
    // when it cut.
    bool enforceLimit();

signals:
    // Any change of the text, typed, pasted or loaded.
    void changed();
    void entered();
    // The reason tells a move of the focus from the window losing it to another window.
    void left(Qt::FocusReason reason);

protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void onTextChanged();

    UiSeams& ui_;
    bool correcting_ = false;
    std::string unchanged_;  // the stored form of the text as set or last saved
    std::string shown_;      // the text as set or last saved, as the store holds it
};

}  // namespace orv
