#include "sync/day_archive.h"

#include <fcntl.h>

#include "common/sys_file.h"
#include "store/cal_db.h"

namespace orv::sync {

void archiveDayTexts(const std::string& calendarFile, const std::vector<std::pair<int, std::string>>& texts) {
    if (texts.empty()) return;
    std::string bytes;
    for (const auto& [day, text] : texts) {
        size_t at = 0;
        do {
            ReminderRecord r;
            r.Date = day;
            r.setText(std::string_view(text).substr(at, kMaxStoredChars));
            const auto record = r.toBytes();
            bytes.append(record.data(), record.size());
            at += kMaxStoredChars;
        } while (at < text.size());
    }
    const std::string archive = purgeArchiveName(calendarFile);
    const auto existing = statPath(archive);
    SysFile file = SysFile::create(archive, O_WRONLY, 0, existing ? (existing->st_mode & 07777) : 0666);
    std::int64_t oldSize = 0;
    try {
        oldSize = file.size();
        // A record cut short by an earlier crash is completed, so that the new ones stay in step.
        const std::int64_t at = (oldSize + kRecordSize - 1) / kRecordSize * kRecordSize;
        file.writeAt(bytes.data(), bytes.size(), at);
        file.sync();
        file.close();
    } catch (...) {
        try {
            if (existing) truncatePath(archive, oldSize);
            else removePath(archive);
        } catch (...) {
        }
        throw;
    }
}

}  // namespace orv::sync
