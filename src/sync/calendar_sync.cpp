#include "sync/calendar_sync.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include <fcntl.h>

#include "common/date_format.h"
#include "common/day_number.h"
#include "common/io_error.h"
#include "common/stored_text.h"
#include "common/sys_file.h"
#include "desk/entry_removal.h"
#include "events/birthday_list.h"
#include "events/entry_stamper.h"
#include "events/ical_writer.h"
#include "store/cal_db.h"
#include "sync/caldav_client.h"
#include "sync/calendar_objects.h"
#include "sync/dav_xml.h"
#include "sync/day_archive.h"
#include "sync/sync_state.h"

namespace orv::sync {
namespace {

// Each object the server sends may be this large; a day's event is a few kilobytes.
constexpr std::size_t kMaxObjectBytes = 1024 * 1024;
// More deletions than this, and more than half of the days, need a force.
constexpr int kDeletionGuard = 10;
// A round whose writes met a changed server object is followed by another, up to this many.
constexpr int kMaxRounds = 3;

// Texts compared without the line breaks and blanks they end with: joining entry lines to a text and
// taking them out again may leave one.
std::string normalised(std::string_view text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return std::string(text);
}

std::string hashOf(std::string_view text) { return textHash(normalised(text)); }

std::string withoutBreak(std::string_view line) {
    if (line.ends_with("\r\n")) line.remove_suffix(2);
    return std::string(line);
}

// An entry line (CR LF included) after the text, on a line of its own. Unlike a stamping, no empty line
// follows: lines placed anew at every change of their event would pile empty lines up.
std::string appendLine(const std::string& text, const std::string& line) {
    if (text.empty() || text.ends_with("\r\n")) return text + line;
    return text + "\r\n" + line;
}

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) end = text.size();
        out.emplace_back(text.substr(start, end - start));
        start = end + 2;
    }
    return out;
}

// The local text followed by the server's lines it lacks.
std::string merged(const std::string& local, const std::string& server) {
    const std::vector<std::string> have = linesOf(local);
    std::string out = local;
    for (const std::string& line : linesOf(server)) {
        if (normalised(line).empty() || std::find(have.begin(), have.end(), line) != have.end()) continue;
        if (out.empty() || out.ends_with("\r\n")) out += line;
        else out += "\r\n" + line;
    }
    return out;
}

// What a day holds: as many characters as the editors keep, in as many bytes as the record holds.
bool fitsADay(std::string_view text) {
    return editorLength(text) <= static_cast<size_t>(kMaxDayTextLength) &&
           encodeStoredText(text).size() <= static_cast<size_t>(kMaxStoredChars);
}

// The longest start of the text that a day holds: whole lines where that is possible.
std::string fitted(const std::string& text) {
    if (fitsADay(text)) return text;
    std::string byChars = fitStoredText(text, static_cast<size_t>(kMaxStoredChars));
    while (!fitsADay(byChars)) byChars = fitStoredText(byChars, encodeStoredText(byChars).size() - 1);
    const size_t lastBreak = byChars.rfind("\r\n");
    return lastBreak != std::string::npos && lastBreak > 0 ? byChars.substr(0, lastBreak) : byChars;
}

std::string folderOf(const std::string& path) { return path.ends_with('/') ? path : path + "/"; }

// The same month and day some years away, by the nearest-date rule (the span of an import).
int yearsFrom(int day, int years) {
    const Ymd ymd = toYmd(day);
    return nearestDayNumber(std::clamp(ymd.year + years, kMinYear, kMaxYear), ymd.month, ymd.day);
}

bool contains(const std::string& text, const std::string& line) {
    return text.find(withoutBreak(line)) != std::string::npos;
}

const char* const kDeleteThere = "delete";  // localHash of a foreign entry deleted here, not yet there

class Round {
public:
    Round(const SyncTarget& target, const SyncAccount& account, const SyncRunOptions& options, HttpClient& http,
          SyncReport& report, std::set<std::string>& forceFetch)
        : target_(target), account_(account), options_(options), dav_(http), report_(report),
          forceFetch_(forceFetch) {}

    // True when another round should follow: a write met a changed object, or the calendar changed here
    // while the round worked.
    bool run();

private:
    struct Write {
        enum class Kind { PutDay, DeleteDay, PutYearly, DeleteYearly, DeleteForeign } kind;
        std::string href;
        std::string body;
        std::string ifMatch;  // empty for a new object
        int day = 0;
        std::string ownHash;  // PutDay: the day's own text here after the sync
        std::string sentHash;
        bool fresh = false;  // PutDay: the body is a new day event, nothing of the server's in it
    };

    void progress(SyncProgress::Step step, int done, int total) const {
        if (options_.progress) options_.progress({step, done, total});
    }
    void note(const std::string& message) {
        if (std::find(report_.messages.begin(), report_.messages.end(), message) == report_.messages.end())
            report_.messages.push_back(message);
    }

    void loadState();
    void readLocalDays();
    bool list();
    void fetch();
    void decideDays();
    void decideForeign();
    void decideYearly();
    void guard() const;
    bool applyHere();
    bool sendThere();
    void finish(bool clean);

    std::string ownText(int day) const;
    std::string dayText(int day) const {
        const auto it = local_.find(day);
        return it == local_.end() ? std::string() : it->second;
    }
    bool hasForeignLines(int day) const { return foreignOnDay_.count(day) > 0; }
    std::string collectionPath() const { return folderOf(decodedPath(account_.url)); }
    // The name the calendar's events are made under: the one it had when its account was set up.
    const std::string& uidName() const { return account_.identity.empty() ? target_.calendarName : account_.identity; }
    const StateEntry* entryAt(const std::string& href) const {
        const auto it = state_.entries.find(href);
        return it == state_.entries.end() ? nullptr : &it->second;
    }
    const ServerObject* objectAt(const std::string& href) const {
        const auto it = objects_.find(href);
        return it == objects_.end() ? nullptr : &it->second;
    }
    std::string etagNow(const std::string& href, const StateEntry* st) const {
        const auto it = fetched_.find(href);
        return it != fetched_.end() ? it->second.etag : st ? st->etag : std::string();
    }
    void receive(int day, const std::string& href, const std::string& etag, const std::string& text, bool restored);
    void send(int day, const std::string& href, const std::string& ifMatch, const std::string& own);
    void putMerged(int day, const std::string& href, const std::string& ifMatch, const std::string& text);

    const SyncTarget& target_;
    const SyncAccount& account_;
    const SyncRunOptions& options_;
    CalDavClient dav_;
    SyncReport& report_;
    std::set<std::string>& forceFetch_;

    SyncState state_;
    std::unique_ptr<CalDb> store_;
    std::map<int, std::string> local_;  // every day of the calendar: its whole text
    std::map<int, std::vector<std::pair<std::string, std::string>>> foreignOnDay_;  // href, line
    int spanFirst_ = 0, spanLast_ = 0;  // where events made elsewhere become entry lines

    // The listing.
    bool tokenListing_ = false;
    std::string newToken_;
    std::string newCtag_;
    std::map<std::string, std::string> changed_;  // href -> ETag listed
    std::set<std::string> removed_;
    bool emptyCollection_ = false;
    bool incomplete_ = false;  // something listed could not be taken: the token stays

    // What the server sent.
    std::map<std::string, FetchedObject> fetched_;
    std::map<std::string, ServerObject> objects_;

    // Decisions.
    std::vector<Write> writes_;
    std::map<int, std::optional<std::string>> newOwn_;  // days whose own text changes (nullopt: none left)
    std::vector<std::pair<int, std::string>> archive_;
    std::map<std::string, StateEntry> setHere_;  // entries as they are once the changes here are made
    std::set<std::string> dropHere_;             // entries gone with the changes here
    std::map<std::string, std::vector<StampItem>> foreignWanted_;  // foreign entries placed anew: their lines
    int received_ = 0, deletedHere_ = 0, deletionsThere_ = 0;
    std::vector<int> merged_, restored_;
    bool wrote_ = false;
    int written_ = 0;
    std::map<std::string, std::string> putDone_;  // href -> ETag of each write the server took
    std::set<std::string> deletedDone_;
};

void Round::loadState() {
    std::optional<SyncState> loaded = SyncState::load(target_.calendarFile);
    if (loaded && loaded->collection == account_.url) {
        state_ = std::move(*loaded);
        // A journal left by an interrupted run is folded in before this run appends to it.
        if (!options_.dryRun && statPath(SyncState::journalFileName(target_.calendarFile)))
            state_.save(target_.calendarFile);
    } else {
        if (loaded)
            note("the account names another collection than the last sync did: every day is compared afresh and "
                 "nothing is deleted");
        state_ = SyncState();
        state_.collection = account_.url;
    }
    for (const auto& [href, e] : state_.entries)
        if (e.kind == EntryKind::Foreign)
            for (const StampItem& l : e.lines) foreignOnDay_[l.date].emplace_back(href, l.line);
}

void Round::readLocalDays() {
    store_ = std::make_unique<CalDb>();
    store_->readOnly = options_.dryRun;
    store_->LoadStore(target_.calendarFile);
    local_.clear();
    // One pass under one shared lock: every day as it is at one moment.
    const CalDb::Hold hold = store_->holdForReading();
    for (int i = 0; i < store_->recordCount(); ++i) {
        const auto rec = store_->readRecord(i);
        if (!rec || rec->text.empty() || !isRepresentableDay(rec->date)) continue;
        local_.emplace(static_cast<int>(rec->date), rec->text);  // a day held twice: its first record
    }
    spanFirst_ = yearsFrom(target_.today, -1);
    spanLast_ = yearsFrom(target_.today, 5);
}

std::string Round::ownText(int day) const {
    std::string text = dayText(day);
    if (const auto it = foreignOnDay_.find(day); it != foreignOnDay_.end())
        for (const auto& [href, line] : it->second)
            if (auto without = withoutEntry(text, withoutBreak(line))) text = std::move(*without);
    return text;
}

bool Round::list() {
    progress(SyncProgress::Step::Listing, 0, 0);
    std::optional<Listing> listing;
    if (!state_.syncToken.empty()) {
        try {
            listing = dav_.syncCollection(account_.url, state_.syncToken);
            tokenListing_ = true;
        } catch (const SyncTokenInvalid&) {
            state_.syncToken.clear();
        } catch (const CollectionMissing&) {
            return false;
        }
    }
    try {
        if (!listing) {
            const CollectionState cs = dav_.collectionState(account_.url);
            if (!cs.found) return false;
            if (!cs.calendar)
                throw DavError("the address " + displayAddress(account_.url) + " is no calendar collection");
            newCtag_ = cs.ctag;
            if (cs.syncCollection) {
                listing = dav_.syncCollection(account_.url, "");
                tokenListing_ = true;
            } else if (!cs.ctag.empty() && cs.ctag == state_.ctag && !state_.entries.empty()) {
                listing = Listing{};  // nothing changed there
            } else {
                listing = dav_.listMembers(account_.url);
            }
        }
    } catch (const CollectionMissing&) {
        return false;
    }
    newToken_ = listing->syncToken;
    const std::string self = collectionPath();
    const auto member = [&](const std::string& href) {
        return href.size() > self.size() && href.starts_with(self) && href.find('/', self.size()) == std::string::npos;
    };
    if (listing->full) {
        std::set<std::string> present;
        for (const Member& m : listing->changed) {
            if (!member(m.href)) continue;
            present.insert(m.href);
            const StateEntry* st = entryAt(m.href);
            if (!st || st->etag.empty() || st->etag != m.etag) changed_[m.href] = m.etag;
        }
        for (const auto& [href, e] : state_.entries)
            if (!present.count(href)) removed_.insert(href);
    } else {
        for (const Member& m : listing->changed) {
            if (!member(m.href)) continue;
            const StateEntry* st = entryAt(m.href);
            if (!st || st->etag.empty() || st->etag != m.etag) changed_[m.href] = m.etag;
        }
        for (const std::string& href : listing->removed)
            if (entryAt(href)) removed_.insert(href);
    }
    for (const std::string& href : removed_) changed_.erase(href);
    if (listing->full) {
        // A whole listing without a single member where the last sync saw events: a collection made anew,
        // or the account pointing elsewhere, far more often than a user who deleted everything.
        const bool knewEvents = std::any_of(state_.entries.begin(), state_.entries.end(), [](const auto& e) {
            return e.second.kind == EntryKind::Day || e.second.kind == EntryKind::Foreign;
        });
        emptyCollection_ = knewEvents && changed_.empty() && removed_.size() == state_.entries.size();
    }
    return true;
}

void Round::fetch() {
    std::set<std::string> want;
    for (const auto& [href, etag] : changed_) want.insert(href);
    for (const std::string& href : forceFetch_)
        if (!removed_.count(href)) want.insert(href);
    // A day changed here is written into the server's own object, so that what other devices added stays;
    // one the server holds as this client made it needs no fetch (a change meanwhile fails its If-Match).
    for (const auto& [href, e] : state_.entries) {
        if (e.kind != EntryKind::Day || e.asSent || removed_.count(href)) continue;
        const std::string own = ownText(e.day);
        if (!normalised(own).empty() && hashOf(own) != e.localHash) want.insert(href);
    }
    if (want.empty()) return;
    progress(SyncProgress::Step::Fetching, 0, static_cast<int>(want.size()));
    const std::vector<std::string> hrefs(want.begin(), want.end());
    for (FetchedObject& o : dav_.multiget(account_.url, hrefs, kMaxObjectBytes)) {
        if (o.missing || o.tooLarge) {
            if (o.tooLarge)
                note("an event on the server is larger than " + std::to_string(kMaxObjectBytes / 1024) +
                     " KiB and was left alone: " + o.href);
            changed_.erase(o.href);
            incomplete_ = true;
            continue;
        }
        ServerObject obj = readServerObject(o.data, uidName(), spanFirst_, spanLast_);
        for (const std::string& n : obj.notes) note(n);
        objects_[o.href] = std::move(obj);
        std::string href = o.href;
        fetched_[href] = std::move(o);
    }
}

void Round::receive(int day, const std::string& href, const std::string& etag, const std::string& text,
                    bool restored) {
    const std::string kept = fitted(text);
    if (kept.size() < text.size()) {
        archive_.emplace_back(day, text);
        note("the text of " + isoDate(day) + " on the server is longer than a day holds: the day keeps what fits, "
             "the whole text is in the calendar's archive, and the server's event stays as it is until the day is "
             "edited here");
    }
    newOwn_[day] = kept;
    StateEntry e;
    e.kind = EntryKind::Day;
    e.etag = etag;
    e.day = day;
    e.localHash = hashOf(kept);
    e.serverHash = hashOf(text);
    setHere_[href] = std::move(e);
    ++received_;
    if (restored) restored_.push_back(day);
}

void Round::send(int day, const std::string& href, const std::string& ifMatch, const std::string& own) {
    // Entry lines of events made elsewhere never go into the day's own event.
    const std::string text = hasForeignLines(day) ? normalised(own) : own;
    std::string body;
    if (const auto it = fetched_.find(href); it != fetched_.end() && !ifMatch.empty())
        body = changedDayObject(it->second.data, text, options_.now);
    const bool fresh = body.empty();
    if (fresh) body = newDayObject(uidName(), day, text, options_.now);
    writes_.push_back({Write::Kind::PutDay, href, std::move(body), ifMatch, day, hashOf(own), hashOf(text), fresh});
}

void Round::putMerged(int day, const std::string& href, const std::string& ifMatch, const std::string& text) {
    const std::string kept = fitted(text);
    if (kept.size() < text.size()) {
        archive_.emplace_back(day, text);
        note("the joined text of " + isoDate(day) + " is longer than a day holds: the day keeps what fits, the "
             "whole text is in the calendar's archive and on the server");
    }
    newOwn_[day] = kept;
    send(day, href, ifMatch, text);
    writes_.back().ownHash = hashOf(kept);
    merged_.push_back(day);
}

void Round::decideDays() {
    // The day of each object: from the state, and for objects new to this client from what they hold.
    std::map<int, std::string> dayHref;
    for (const auto& [href, e] : state_.entries)
        if (e.kind == EntryKind::Day) dayHref.emplace(e.day, href);
    std::map<int, std::string> newOnServer;
    for (const auto& [href, obj] : objects_) {
        if (obj.kind != ServerObject::Kind::Day) continue;
        const StateEntry* st = entryAt(href);
        if (st && st->kind == EntryKind::Day) continue;
        const auto known = dayHref.find(obj.day);
        const auto seen = newOnServer.find(obj.day);
        const std::string natural = collectionPath() + objectName(obj.uid);
        if ((known != dayHref.end() && known->second != href) || (seen != newOnServer.end() && href != natural)) {
            // A second object of the same day: never another one made, this one left alone.
            note("the server holds the day " + isoDate(obj.day) + " twice; the copy " + href + " is left alone");
            StateEntry other;
            other.etag = fetched_[href].etag;
            setHere_[href] = other;
            continue;
        }
        newOnServer[obj.day] = href;
    }

    std::set<int> days;
    for (const auto& [day, text] : local_) days.insert(day);
    for (const auto& [day, href] : dayHref) days.insert(day);
    for (const auto& [day, href] : newOnServer) days.insert(day);

    for (const int day : days) {
        const std::string own = ownText(day);
        const bool hasLocal = !normalised(own).empty();
        const auto known = dayHref.find(day);
        const StateEntry* st = known == dayHref.end() ? nullptr : entryAt(known->second);
        std::string href = st ? known->second : collectionPath() + objectName(dayEventUid(uidName(), day));
        if (!st)
            if (const auto n = newOnServer.find(day); n != newOnServer.end()) href = n->second;
        const ServerObject* obj = objectAt(href);
        const bool serverDay = obj && obj->kind == ServerObject::Kind::Day && obj->day == day;
        const bool gone = st && (removed_.count(href) || (obj && !serverDay));
        const std::string etag = etagNow(href, st);

        const bool localChanged = st ? (!hasLocal || hashOf(own) != st->localHash) : hasLocal;
        const bool serverChanged = st ? (gone || (serverDay && hashOf(obj->text) != st->serverHash)) : serverDay;

        if (!localChanged && !serverChanged) {
            if (st && serverDay && etag != st->etag) {
                StateEntry e = *st;
                e.etag = etag;
                e.asSent = false;  // changed there (an alarm, a category): fetched before the next write
                setHere_[href] = std::move(e);
            }
            continue;
        }
        if (localChanged && !serverChanged) {
            if (hasLocal) send(day, href, st ? etag : std::string(), own);
            else {
                writes_.push_back({Write::Kind::DeleteDay, href, {}, etag, day, {}, {}});
                ++deletionsThere_;
            }
            continue;
        }
        if (!localChanged && serverChanged) {
            if (!gone) {
                receive(day, href, etag, obj->text, false);
            } else {
                // Deleted on another device: the text goes to the archive first, so that it can be had back.
                archive_.emplace_back(day, own);
                newOwn_[day] = std::nullopt;
                dropHere_.insert(href);
                ++deletedHere_;
            }
            continue;
        }
        // Changed on both sides.
        if (hasLocal && !gone && serverDay) {
            if (normalised(own) == normalised(obj->text)) {
                StateEntry e;
                e.kind = EntryKind::Day;
                e.etag = etag;
                e.day = day;
                e.localHash = hashOf(own);
                e.serverHash = hashOf(obj->text);
                setHere_[href] = std::move(e);
            } else {
                putMerged(day, href, etag, merged(own, obj->text));
            }
        } else if (!hasLocal && serverDay && !gone) {
            receive(day, href, etag, obj->text, true);  // deleted here, changed there: the change stays
        } else if (hasLocal) {
            // Changed here, deleted there: made anew.
            dropHere_.insert(href);
            const std::string fresh = collectionPath() + objectName(dayEventUid(uidName(), day));
            send(day, fresh, {}, own);
            restored_.push_back(day);
        } else {
            dropHere_.insert(href);
        }
    }
}

void Round::decideForeign() {
    for (const auto& [href, st] : state_.entries) {
        if (st.kind != EntryKind::Foreign) continue;
        const ServerObject* obj = objectAt(href);
        const bool gone = removed_.count(href) || (obj && obj->kind != ServerObject::Kind::Foreign);
        const bool changed = obj && obj->kind == ServerObject::Kind::Foreign &&
                             textHash(fetched_[href].data) != st.serverHash;
        std::set<int> removedHere;
        for (const StampItem& l : st.lines)
            if (!contains(dayText(l.date), l.line)) removedHere.insert(l.date);
        const bool deleteHere = st.localHash == kDeleteThere;

        if (gone) {
            foreignWanted_[href] = {};
            dropHere_.insert(href);
            if (!st.lines.empty()) ++deletedHere_;
            continue;
        }
        if (changed) {
            StateEntry e = st;
            e.etag = fetched_[href].etag;
            e.serverHash = textHash(fetched_[href].data);
            e.recurring = obj->recurring;
            e.localHash.clear();
            std::vector<StampItem> lines;
            for (const StampItem& l : obj->lines)
                if (!e.suppressed.count(l.date)) lines.push_back(l);
            // Deleted here and changed there: the change stays.
            if (deleteHere) restored_.push_back(lines.empty() ? st.day : lines.front().date);
            for (const int d : removedHere)
                if (std::any_of(lines.begin(), lines.end(), [&](const StampItem& l) { return l.date == d; }))
                    restored_.push_back(d);
            foreignWanted_[href] = std::move(lines);
            setHere_[href] = std::move(e);
            ++received_;
            continue;
        }
        if (removedHere.empty() && !deleteHere) {
            if (obj && fetched_[href].etag != st.etag) {
                StateEntry e = st;
                e.etag = fetched_[href].etag;
                setHere_[href] = std::move(e);
            }
            continue;
        }
        StateEntry e = st;
        if (st.recurring && !deleteHere) {
            // Only that day's line: remembered, so that the event does not bring it back.
            for (const int d : removedHere) e.suppressed.insert(d);
            std::erase_if(e.lines, [&](const StampItem& l) { return removedHere.count(l.date) > 0; });
            setHere_[href] = std::move(e);
            continue;
        }
        e.localHash = kDeleteThere;
        foreignWanted_[href] = {};
        setHere_[href] = std::move(e);
        writes_.push_back({Write::Kind::DeleteForeign, href, {}, etagNow(href, &st), 0, {}, {}});
    }
    // Events new to this client, and objects that are no events.
    for (const auto& [href, obj] : objects_) {
        const StateEntry* st = entryAt(href);
        if (st && st->kind == EntryKind::Foreign) continue;
        if (obj.kind == ServerObject::Kind::Foreign) {
            StateEntry e;
            e.kind = EntryKind::Foreign;
            e.etag = fetched_[href].etag;
            e.uid = obj.uid;
            e.serverHash = textHash(fetched_[href].data);
            e.recurring = obj.recurring;
            e.day = obj.lines.empty() ? 0 : obj.lines.front().date;
            foreignWanted_[href] = obj.lines;
            setHere_[href] = std::move(e);
            if (!obj.lines.empty()) ++received_;
        } else if (obj.kind == ServerObject::Kind::Other && !setHere_.count(href)) {
            StateEntry e;
            e.etag = fetched_[href].etag;
            setHere_[href] = std::move(e);
        }
    }
}

void Round::decideYearly() {
    BirthdayList list;
    if (const auto failure = list.LoadEventsFile(target_.eventsFile)) {
        note("the yearly dates were not sent: " + *failure);
        return;
    }
    if (state_.yearlyFrom == 0)
        state_.yearlyFrom = dayNumber(toYmd(local_.empty() ? target_.today : local_.begin()->first).year, 1, 1);
    std::set<std::string> wanted;
    for (const auto& [uid, ics] : yearlyObjects(uidName(), list, state_.yearlyFrom)) {
        const std::string href = collectionPath() + objectName(uid);
        if (!wanted.insert(href).second) continue;
        const std::string hash = yearlyHash(ics);
        const StateEntry* st = entryAt(href);
        const auto f = fetched_.find(href);
        if (st && !removed_.count(href)) {
            if (st->kind == EntryKind::Yearly && st->localHash == hash) {
                if (f != fetched_.end() && f->second.etag != st->etag) {
                    StateEntry e = *st;
                    e.etag = f->second.etag;
                    setHere_[href] = std::move(e);
                }
                continue;
            }
            writes_.push_back({Write::Kind::PutYearly, href, ics, etagNow(href, st), 0, hash, {}});
        } else if (f != fetched_.end()) {
            if (yearlyHash(f->second.data) == hash) {
                StateEntry e;
                e.kind = EntryKind::Yearly;
                e.etag = f->second.etag;
                e.localHash = hash;
                setHere_[href] = std::move(e);
            } else {
                writes_.push_back({Write::Kind::PutYearly, href, ics, f->second.etag, 0, hash, {}});
            }
        } else {
            if (st) dropHere_.insert(href);
            writes_.push_back({Write::Kind::PutYearly, href, ics, {}, 0, hash, {}});
        }
    }
    for (const auto& [href, e] : state_.entries) {
        if (e.kind != EntryKind::Yearly || wanted.count(href)) continue;
        if (removed_.count(href)) dropHere_.insert(href);
        else writes_.push_back({Write::Kind::DeleteYearly, href, {}, etagNow(href, &e), 0, {}, {}});
    }
}

void Round::guard() const {
    if (options_.forceDelete) return;
    int days = 0;
    for (const auto& [href, e] : state_.entries)
        if (e.kind == EntryKind::Day) ++days;
    if (emptyCollection_)
        throw SyncError(SyncError::Kind::Guard,
                        "the collection " + displayAddress(account_.url) + " is empty, but " + std::to_string(days) +
                            " days were synced with it before; nothing was deleted (if its events were deleted on "
                            "purpose, force the deletion; if the calendar moved, set the account up again)");
    int localDays = 0;
    for (const auto& [day, text] : local_)
        if (!normalised(ownText(day)).empty()) ++localDays;
    const int deletions = deletedHere_ + deletionsThere_;
    const int calendarDays = std::max(days, localDays);
    if (deletions > kDeletionGuard && deletions * 2 > calendarDays)
        throw SyncError(SyncError::Kind::Guard,
                        "the sync would delete " + std::to_string(deletions) + " of the calendar's " +
                            std::to_string(calendarDays) + " days (" + std::to_string(deletedHere_) + " here, " +
                            std::to_string(deletionsThere_) + " on the server); nothing was deleted (force the "
                            "deletion if that is meant)");
}

bool Round::applyHere() {
    // The days to change: their own text, or the lines of events made elsewhere.
    std::set<int> days;
    for (const auto& [day, text] : newOwn_) days.insert(day);
    for (const auto& [href, lines] : foreignWanted_) {
        for (const StampItem& l : lines) days.insert(l.date);
        if (const StateEntry* st = entryAt(href))
            for (const StampItem& l : st->lines) days.insert(l.date);
    }
    std::erase_if(days, [](int d) { return !isRepresentableDay(d); });

    std::map<int, std::string> newText;
    std::map<std::string, std::vector<StampItem>> placed;
    std::vector<int> notShown;
    for (const int day : days) {
        const std::string text = dayText(day);
        std::string out;
        if (const auto own = newOwn_.find(day); own != newOwn_.end()) out = own->second.value_or("");
        else out = ownText(day);
        // Lines of unchanged events keep their order; those placed anew follow.
        std::vector<std::pair<std::string, std::string>> lines;
        if (const auto it = foreignOnDay_.find(day); it != foreignOnDay_.end())
            for (const auto& [href, line] : it->second)
                if (!foreignWanted_.count(href) && contains(text, line)) lines.emplace_back(href, line);
        for (const auto& [href, wanted] : foreignWanted_)
            for (const StampItem& l : wanted)
                if (l.date == day) lines.emplace_back(href, l.line);
        for (const auto& [href, line] : lines) {
            if (contains(out, line) && !foreignWanted_.count(href)) continue;
            const std::string longer = appendLine(out, line);
            if (!fitsADay(longer)) {
                notShown.push_back(day);
                continue;
            }
            out = longer;
            if (foreignWanted_.count(href)) placed[href].push_back({day, line});
        }
        if (out != text) newText[day] = std::move(out);
    }
    if (!notShown.empty())
        note("events from the server were not shown on " + std::to_string(notShown.size()) +
             (notShown.size() == 1 ? " day" : " days") + ", whose text would become longer than " +
             std::to_string(kMaxDayTextLength) + " characters (the first: " + isoDate(notShown.front()) + ")");

    int newDays = 0;
    for (const auto& [day, text] : newText)
        if (!local_.count(day) && !text.empty()) ++newDays;
    if (newDays > 0 && static_cast<int>(local_.size()) + newDays > stampingCapacity())
        throw SyncError(SyncError::Kind::Local, "the server's events need " + std::to_string(newDays) +
                                                    " new days, more than the calendar can take; nothing was "
                                                    "changed");

    if (!newText.empty()) {
        progress(SyncProgress::Step::SavingDays, 0, static_cast<int>(newText.size()));
        // Under the calendar's exclusive lock from here to the commit: a day another program changed since it
        // was read is decided again in the next round, never overwritten.
        store_->beginChanges();
        try {
            for (const auto& [day, text] : newText)
                if (store_->readDay(day).value_or("") != dayText(day)) {
                    store_->discardChanges();
                    return false;
                }
            archiveDayTexts(target_.calendarFile, archive_);
            for (const auto& [day, text] : newText) store_->writeDay(day, text);
            store_->commitChanges();
        } catch (...) {
            store_->discardChanges();
            throw;
        }
        report_.changedHere = true;
    } else if (!archive_.empty()) {
        archiveDayTexts(target_.calendarFile, archive_);
    }

    for (const std::string& href : dropHere_) state_.entries.erase(href);
    for (auto& [href, e] : setHere_) state_.entries[href] = e;
    for (const auto& [href, wanted] : foreignWanted_)
        if (auto it = state_.entries.find(href); it != state_.entries.end()) it->second.lines = placed[href];
    if (!dropHere_.empty() || !setHere_.empty() || !foreignWanted_.empty()) state_.save(target_.calendarFile);

    report_.received += received_;
    report_.deletedHere += deletedHere_;
    report_.mergedDays.insert(report_.mergedDays.end(), merged_.begin(), merged_.end());
    report_.restoredDays.insert(report_.restoredDays.end(), restored_.begin(), restored_.end());
    return true;
}

bool Round::sendThere() {
    bool again = false;
    std::vector<std::string> refetch;
    const int total = static_cast<int>(writes_.size());
    for (int i = 0; i < total; ++i) {
        const Write& w = writes_[static_cast<size_t>(i)];
        progress(SyncProgress::Step::Sending, i, total);
        const bool isPut = w.kind == Write::Kind::PutDay || w.kind == Write::Kind::PutYearly;
        const WriteResult r =
            isPut ? dav_.put(account_.url, w.href, w.body, w.ifMatch) : dav_.remove(account_.url, w.href, w.ifMatch);
        if (r.outcome == WriteOutcome::PreconditionFailed || (r.outcome == WriteOutcome::Gone && isPut)) {
            // The server's copy is not the one decided on: fetched and decided again, never overwritten.
            forceFetch_.insert(w.href);
            again = true;
            continue;
        }
        if (r.outcome == WriteOutcome::Conflict) {
            note("the server refused the event of " + (w.day ? isoDate(w.day) : w.href) +
                 ": another of its events has the same identifier");
            continue;
        }
        wrote_ = true;
        if (isPut) {
            StateEntry e;
            e.kind = w.kind == Write::Kind::PutDay ? EntryKind::Day : EntryKind::Yearly;
            e.etag = r.etag;
            e.day = w.day;
            e.localHash = w.ownHash;
            e.serverHash = w.sentHash;
            e.asSent = w.fresh && !r.etag.empty();
            state_.entries[w.href] = std::move(e);
            putDone_[w.href] = r.etag;
            ++written_;
            ++report_.sent;
            if (r.etag.empty()) refetch.push_back(w.href);
        } else {
            state_.entries.erase(w.href);
            if (r.outcome == WriteOutcome::Done) ++report_.deletedThere;
            deletedDone_.insert(w.href);
            ++written_;
        }
        // From the first write on, the token on file is that of a collection without it (see finish).
        state_.syncToken.clear();
        state_.journal(target_.calendarFile, w.href);
    }
    progress(SyncProgress::Step::Sending, total, total);
    // Stored without an ETag: the server changed the object as it stored it; its text now is what counts.
    if (!refetch.empty()) {
        for (const FetchedObject& o : dav_.multiget(account_.url, refetch, kMaxObjectBytes)) {
            auto it = state_.entries.find(o.href);
            if (it == state_.entries.end() || o.missing || o.tooLarge) continue;
            it->second.etag = o.etag;
            if (it->second.kind == EntryKind::Day) {
                const ServerObject obj = readServerObject(o.data, uidName(), spanFirst_, spanLast_);
                if (obj.kind == ServerObject::Kind::Day) it->second.serverHash = hashOf(obj.text);
            }
            state_.journal(target_.calendarFile, o.href);
        }
    }
    return again;
}

void Round::finish(bool clean) {
    progress(SyncProgress::Step::Finishing, 0, 0);
    const std::string oldToken = state_.syncToken, oldCtag = state_.ctag;
    if (tokenListing_ && written_ == 0) {
        if (clean) state_.syncToken = newToken_;
    } else if (tokenListing_) {
        // A token from before this client's writes is no longer to be trusted: a server whose tokens name
        // contents (Radicale, Xandikos) says nothing, in changes since then, of an object made after it and
        // deleted since. The token after them is taken where its changes are this client's writes and
        // nothing else; otherwise the next sync lists the collection whole.
        state_.syncToken.clear();
        if (clean) {
            try {
                const Listing after = dav_.syncCollection(account_.url, newToken_);
                std::set<std::string> seen;
                bool proven = true;
                for (const Member& m : after.changed) {
                    const auto put = putDone_.find(m.href);
                    const StateEntry* st = entryAt(m.href);
                    proven = proven && put != putDone_.end() && st && !st->etag.empty() && st->etag == m.etag;
                    seen.insert(m.href);
                }
                for (const std::string& h : after.removed) proven = proven && (deletedDone_.count(h) || !entryAt(h));
                for (const auto& [href, etag] : putDone_) proven = proven && seen.count(href);
                if (proven) state_.syncToken = after.syncToken;
            } catch (const HttpError& e) {
                if (e.kind() == HttpError::Kind::Cancelled) throw;
            } catch (const std::runtime_error&) {
                // The next sync lists the collection whole.
            }
        }
    } else if (clean && !newCtag_.empty()) {
        // The ctag from before this client's writes: they changed it, so the next sync lists the collection.
        state_.ctag = newCtag_;
    }
    if (wrote_ || state_.syncToken != oldToken || state_.ctag != oldCtag ||
        statPath(SyncState::journalFileName(target_.calendarFile)) || !statPath(SyncState::stateFileName(target_.calendarFile)))
        state_.save(target_.calendarFile);
}

bool Round::run() {
    loadState();
    readLocalDays();
    if (!list()) {
        int days = 0;
        for (const auto& [href, e] : state_.entries)
            if (e.kind == EntryKind::Day) ++days;
        throw SyncError(SyncError::Kind::Guard,
                        "the collection " + displayAddress(account_.url) + " is not there (404)" +
                            (days ? "; " + std::to_string(days) + " days were synced with it before, nothing was "
                                                                  "deleted"
                                  : std::string()) +
                            "; set the account up again if the calendar moved");
    }
    fetch();
    forceFetch_.clear();
    decideDays();
    decideForeign();
    decideYearly();
    guard();
    if (options_.dryRun) {
        report_.received += received_;
        report_.deletedHere += deletedHere_;
        report_.mergedDays.insert(report_.mergedDays.end(), merged_.begin(), merged_.end());
        report_.restoredDays.insert(report_.restoredDays.end(), restored_.begin(), restored_.end());
        for (const Write& w : writes_) {
            if (w.kind == Write::Kind::PutDay || w.kind == Write::Kind::PutYearly) ++report_.sent;
            else ++report_.deletedThere;
        }
        return false;
    }
    if (!applyHere()) return true;
    const bool again = sendThere();
    finish(!again && !incomplete_);
    return again;
}

}  // namespace

HttpOptions httpOptionsFor(const SyncAccount& account, const std::string& password, HttpOptions tuning) {
    tuning.user = account.user;
    tuning.password = password;
    tuning.caFile = account.caFile;
    return tuning;
}

void forgetSyncState(const std::string& calendarFile) { SyncState::forget(calendarFile); }

SyncReport syncCalendar(const SyncTarget& target, const SyncAccount& account, const std::string& password,
                        const SyncRunOptions& options, HttpOptions tuning) {
    SyncRunOptions run = options;
    if (run.now == 0) run.now = std::time(nullptr);
    SyncReport report;
    std::set<std::string> forceFetch;
    try {
        // One sync of a calendar at a time (a timer of the windows, cron): the second is told at once.
        const std::string runLockName = SyncState::stateFileName(target.calendarFile) + "-lock";
        const SysFile runLock = SysFile::create(runLockName, O_RDWR, 0, 0666);
        if (!runLock.tryLock(true))
            throw SyncError(SyncError::Kind::Local, "another sync of the calendar " + target.calendarName +
                                                        " is running; try again when it has ended");
        HttpClient http(httpOptionsFor(account, password, std::move(tuning)));
        http.setCancelFlag(options.cancel);
        for (int round = 1;; ++round) {
            Round r(target, account, run, http, report, forceFetch);
            const bool again = r.run();
            report.requests = http.requestCount();
            if (!again || run.dryRun) break;
            if (round == kMaxRounds) {
                report.messages.push_back("the server's events kept changing during the sync; the next sync goes on");
                break;
            }
        }
    } catch (const HttpError& e) {
        throw SyncError(e.kind() == HttpError::Kind::Cancelled ? SyncError::Kind::Cancelled : SyncError::Kind::Connection,
                        e.what());
    } catch (const DavError& e) {
        throw SyncError(SyncError::Kind::Server, e.what());
    } catch (const CollectionMissing& e) {
        throw SyncError(SyncError::Kind::Server, e.what());
    } catch (const SyncTokenInvalid& e) {
        throw SyncError(SyncError::Kind::Server, e.what());
    } catch (const IoError& e) {
        throw SyncError(SyncError::Kind::Local, e.what());
    }
    std::sort(report.mergedDays.begin(), report.mergedDays.end());
    std::sort(report.restoredDays.begin(), report.restoredDays.end());
    report.restoredDays.erase(std::unique(report.restoredDays.begin(), report.restoredDays.end()),
                              report.restoredDays.end());
    return report;
}

}  // namespace orv::sync
