#pragma once
// An editor's day saved beside other programs: the week page's cells and the to-do window keep what the user
// typed, and what another program wrote to the same day meanwhile, and say so.

#include <QString>

namespace orv {

class CalDb;
class ReminderEditor;
struct SavedDay;

// How long typing pauses before an editor's text is saved.
constexpr int kSavePauseMs = 2000;

// Saves the editor's text as what the user made of the text it showed (CalDb::saveDay); the editor then
// holds what the day holds, saved.
SavedDay saveEditedDay(CalDb& store, double date, ReminderEditor& editor);
// What a save that found the day changed by another program tells the user: the day, and where the other
// text went (the archive beside the store's calendar); empty for a plain write.
QString savedDayNotice(double date, const SavedDay& saved, const CalDb& store);

}  // namespace orv
