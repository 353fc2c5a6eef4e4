#include "desk/reminder_editor.h"

#include <QFocusEvent>
#include <QPalette>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include "common/cp1252.h"
#include "common/qt_text.h"
#include "common/ui_seams.h"

namespace orv {
namespace {

bool isLineBreak(QChar c) { return c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n'; }

// The editor's raw text keeps paragraph separators where the file has CR LF.
QString storedFormOf(QString raw) {
    for (auto& c : raw)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = u'\n';
    return raw.replace(u'\n', QStringLiteral("\r\n"));
}

std::string toStored(const QString& raw) {
    const QString text = storedFormOf(raw);
    if (auto bytes = toCp1252(text)) return *bytes;
    return toCp1252Lossy(text);  // refused on entry, so only reached by text set from outside
}

// Position in raw up to which the text keeps at most limit characters, a line break counting two.
qsizetype cutPosition(const QString& raw, int limit) {
    int count = 0;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const int width = isLineBreak(raw[i]) ? 2 : 1;
        if (count + width > limit) return i;
        count += width;
    }
    return raw.size();
}

}  // namespace

const QString& ReminderEditor::limitWarning() {
    static const QString text =
        QStringLiteral("Reminders are limited to 1000 chars and your entry\rwill be truncated to that length.");
    return text;
}

ReminderEditor::ReminderEditor(UiSeams& ui, QWidget* parent) : QPlainTextEdit(parent), ui_(ui) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    connect(this, &QPlainTextEdit::textChanged, this, &ReminderEditor::onTextChanged);
}

void ReminderEditor::setStoredText(std::string_view text) {
    QString shown = fromCp1252(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // Taken before the text goes in: the limit may cut it on the way.
    unchanged_ = toStored(shown);
    setPlainText(shown);
    moveCursor(QTextCursor::Start);
    verticalScrollBar()->setValue(0);
}

std::string ReminderEditor::storedText() const { return toStored(document()->toRawText()); }

bool ReminderEditor::isChanged() const { return storedText() != unchanged_; }

void ReminderEditor::markSaved() { unchanged_ = storedText(); }

std::string ReminderEditor::selectedStoredText() const { return toStored(textCursor().selectedText()); }

bool ReminderEditor::isEmpty() const { return document()->isEmpty(); }

int ReminderEditor::storedLength() const {
    const QString raw = document()->toRawText();
    int n = 0;
    for (const QChar c : raw) n += isLineBreak(c) ? 2 : 1;
    return n;
}

QStringList ReminderEditor::visualLines() const {
    QStringList lines;
    // The width the editor has now, also when it is hidden and its viewport has not followed a resize.
    const qreal width = contentsRect().width() - 2 * document()->documentMargin();
    QTextOption option = document()->defaultTextOption();
    option.setWrapMode(wordWrapMode());
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        QTextLayout layout(text, font());
        layout.setTextOption(option);
        layout.beginLayout();
        int made = 0;
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << text.mid(line.textStart(), line.textLength());
            ++made;
        }
        layout.endLayout();
        if (made == 0) lines << QString();
    }
    return lines;
}

void ReminderEditor::setColours(const QColor& base, const QColor& text) {
    QPalette pal = palette();
    pal.setColor(QPalette::Base, base);
    pal.setColor(QPalette::Text, text);
    setPalette(pal);
}

QColor ReminderEditor::baseColour() const { return palette().color(QPalette::Base); }

bool ReminderEditor::enforceLimit() {
    if (storedLength() <= kLimit) return false;
    ui_.beep();
    ui_.warning(window(), limitWarning());
    const QString raw = document()->toRawText();
    const qsizetype cut = cutPosition(raw, kLimit);
    correcting_ = true;
    QTextCursor cursor(document());
    cursor.setPosition(static_cast<int>(cut));
    cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    correcting_ = false;
    return true;
}

void ReminderEditor::onTextChanged() {
    if (correcting_) return;
    refuseUnrepresentable();
    emit changed();
}

void ReminderEditor::refuseUnrepresentable() {
    const QString raw = document()->toRawText();
    QString firstBad;
    QList<std::pair<int, int>> bad;  // position, length
    for (qsizetype i = 0; i < raw.size(); ++i) {
        if (isLineBreak(raw[i])) continue;
        char32_t cp = raw[i].unicode();
        int len = 1;
        if (raw[i].isHighSurrogate() && i + 1 < raw.size() && raw[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(raw[i], raw[i + 1]);
            len = 2;
        }
        if (!unicodeToCp1252(cp)) {
            if (bad.isEmpty()) firstBad = raw.mid(i, len);
            bad.append({static_cast<int>(i), len});
        }
        i += len - 1;
    }
    if (bad.isEmpty()) return;
    correcting_ = true;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    for (auto it = bad.crbegin(); it != bad.crend(); ++it) {
        cursor.setPosition(it->first);
        cursor.setPosition(it->first + it->second, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    cursor.endEditBlock();
    correcting_ = false;
    ui_.warning(window(), unrepresentableMessage(firstBad));
}

void ReminderEditor::focusInEvent(QFocusEvent* event) {
    QPlainTextEdit::focusInEvent(event);
    emit entered();
}

void ReminderEditor::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    emit left(event->reason());
}

}  // namespace orv
