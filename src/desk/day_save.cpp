#include "desk/day_save.h"

#include "common/date_format.h"
#include "common/qt_text.h"
#include "desk/reminder_editor.h"
#include "store/cal_db.h"

namespace orv {

SavedDay saveEditedDay(CalDb& store, double date, ReminderEditor& editor) {
    const SavedDay saved =
        store.saveDay(date, editor.shownText(), editor.storedText(), static_cast<std::size_t>(ReminderEditor::kLimit));
    // The user's text comes last in a merged day: the caret stays where it was in it.
    if (saved.outcome == SavedDay::Outcome::Merged)
        editor.replaceStoredText(saved.text, ReminderEditor::CaretFrom::End);
    else editor.markSaved();
    return saved;
}

QString savedDayNotice(double date, const SavedDay& saved, const CalDb& store) {
    if (saved.outcome == SavedDay::Outcome::Written) return {};
    const QString day = fromText(formatDate("d mmmm yyyy", static_cast<int>(date), systemDateNames()));
    const QString changed = QStringLiteral("Another program changed %1 while you were editing it.").arg(day);
    // The user emptied the day: it keeps the other program's text.
    if (saved.outcome == SavedDay::Outcome::Merged && saved.text == saved.before)
        return changed + QStringLiteral(" The day keeps the other program's text.");
    if (saved.outcome == SavedDay::Outcome::Merged)
        return changed + QStringLiteral(" Nothing is lost: the day now holds the other program's text, then yours.");
    return changed + QStringLiteral(
                         " Both texts do not fit into one day, so the day holds yours and the other "
                         "program's text has been moved to the file \"%1\".")
                         .arg(fromText(purgeArchiveName(store.CurrentFileName)));
}

}  // namespace orv
