#pragma once
// Qt Multimedia and the sound system's libraries live in a module of their own, "orvella-media.so", loaded
// when something is first played: linked into the program they made every start markedly slower, also for
// the many users whose months have no sound. This is all the program and the module share: plain virtual
// calls and one C entry, no meta-objects, so that neither needs the other's copy of any class.

class QRect;
class QString;
class QWidget;

namespace orv {

class MediaBackend {
public:
    // Told of the end of playback and of failures while playing; lives longer than the backend.
    class Listener {
    public:
        virtual void playbackEnded() = 0;
        virtual void playbackFailed(const QString& reason) = 0;

    protected:
        ~Listener() = default;
    };

    virtual ~MediaBackend() = default;
    virtual bool open(const QString& file, QString* error) = 0;
    virtual void setDisplay(QWidget* parent, const QRect& area) = 0;
    virtual void detachDisplay() = 0;
    virtual void play() = 0;
    virtual void stop() = 0;
    virtual void close() = 0;
};

// The module's entry, found by this name: a new backend reporting to listener, owned by the caller.
using CreateMediaBackend = MediaBackend* (*)(MediaBackend::Listener* listener);
inline constexpr char kMediaBackendEntry[] = "orvellaCreateMediaBackend";
inline constexpr char kMediaModuleName[] = "orvella-media.so";

}  // namespace orv
