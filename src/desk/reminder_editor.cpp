#include "desk/reminder_editor.h"

#include <QFocusEvent>
#include <QPalette>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <algorithm>

#include "common/qt_text.h"
#include "common/stored_text.h"
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

std::string toStored(const QString& raw) { return toText(storedFormOf(raw)); }

// A character of raw at i: a surrogate pair is one.
qsizetype charLength(const QString& raw, qsizetype i) {
    return raw[i].isHighSurrogate() && i + 1 < raw.size() && raw[i + 1].isLowSurrogate() ? 2 : 1;
}

// Position in raw up to which the text keeps at most limit characters, a line break counting two.
qsizetype cutPosition(const QString& raw, int limit) {
    int count = 0;
    for (qsizetype i = 0; i < raw.size(); i += charLength(raw, i)) {
        const int width = isLineBreak(raw[i]) ? 2 : 1;
        if (count + width > limit) return i;
        count += width;
    }
    return raw.size();
}

// Position in raw up to which the text's stored form takes at most limit bytes.
qsizetype byteCutPosition(const QString& raw, int limit) {
    qsizetype cut = 0;
    int bytes = 0;
    for (qsizetype i = 0; i < raw.size(); i += charLength(raw, i)) {
        const int width = isLineBreak(raw[i]) ? 2 : static_cast<int>(toText(raw.mid(i, charLength(raw, i))).size());
        if (bytes + width > limit) break;
        bytes += width;
        cut = i + charLength(raw, i);
    }
    // The shorter text may be stored the other way; step back until it fits.
    while (cut > 0 && encodeStoredText(toStored(raw.left(cut))).size() > static_cast<size_t>(limit)) {
        --cut;
        if (cut > 0 && raw[cut].isLowSurrogate() && raw[cut - 1].isHighSurrogate()) --cut;
    }
    return cut;
}

}  // namespace

const QString& ReminderEditor::limitWarning() {
    static const QString text =
        QStringLiteral("Reminders are limited to 1000 chars and your entry\rwill be truncated to that length.");
    return text;
}

const QString& ReminderEditor::byteLimitWarning() {
    static const QString text = QStringLiteral(
        "Reminders with characters outside the Windows-1252 set are stored as UTF-8 and limited to 1019 bytes; "
        "your entry\rwill be truncated to that length.");
    return text;
}

ReminderEditor::ReminderEditor(UiSeams& ui, QWidget* parent) : QPlainTextEdit(parent), ui_(ui) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    connect(this, &QPlainTextEdit::textChanged, this, &ReminderEditor::onTextChanged);
}

void ReminderEditor::setStoredText(std::string_view text) {
    QString shown = fromText(text);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    // Taken before the text goes in: the limit may cut it on the way.
    unchanged_ = toStored(shown);
    shown_ = std::string(text);
    setPlainText(shown);
    moveCursor(QTextCursor::Start);
    verticalScrollBar()->setValue(0);
}

std::string ReminderEditor::storedText() const { return toStored(document()->toRawText()); }

bool ReminderEditor::isChanged() const { return storedText() != unchanged_; }

void ReminderEditor::markSaved() {
    unchanged_ = storedText();
    shown_ = unchanged_;
}

void ReminderEditor::replaceStoredText(std::string_view text, CaretFrom from) {
    const int length = document()->characterCount();
    const int caret = textCursor().position();
    setStoredText(text);
    const int now = document()->characterCount();
    const int at = from == CaretFrom::Start ? caret : now - (length - caret);
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::clamp(at, 0, now - 1));
    setTextCursor(cursor);
}

std::string ReminderEditor::selectedStoredText() const { return toStored(textCursor().selectedText()); }

bool ReminderEditor::isEmpty() const { return document()->isEmpty(); }

int ReminderEditor::storedLength() const {
    const QString raw = document()->toRawText();
    int n = 0;
    for (qsizetype i = 0; i < raw.size(); i += charLength(raw, i)) n += isLineBreak(raw[i]) ? 2 : 1;
    return n;
}

QStringList ReminderEditor::visualLines() const {
    QStringList lines;
    // The width the text is laid out in on screen, the scroll bar's off, also when the editor is hidden and
    // its viewport has not followed a resize.
    int visible = contentsRect().width() - viewportMargins().left() - viewportMargins().right();
    const Qt::ScrollBarPolicy policy = verticalScrollBarPolicy();
    if (policy == Qt::ScrollBarAlwaysOn ||
        (policy == Qt::ScrollBarAsNeeded && verticalScrollBar()->isVisibleTo(this))) {
        visible -= verticalScrollBar()->sizeHint().width();
        if (style()->styleHint(QStyle::SH_ScrollView_FrameOnlyAroundContents, nullptr, this))
            visible -= style()->pixelMetric(QStyle::PM_ScrollView_ScrollBarSpacing, nullptr, this);
    }
    const qreal width = visible - 2 * document()->documentMargin();
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
    const QString raw = document()->toRawText();
    qsizetype cut = cutPosition(raw, kLimit);
    const QString* warning = &limitWarning();
    if (encodeStoredText(toStored(raw.left(cut))).size() > static_cast<size_t>(kByteLimit)) {
        cut = byteCutPosition(raw, kByteLimit);
        warning = &byteLimitWarning();
    }
    if (cut >= raw.size()) return false;
    ui_.beep();
    ui_.warning(window(), *warning);
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
    emit changed();
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
