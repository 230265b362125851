#pragma once

#include <QString>

// The records of the designer sessions of one user: one file per running process in a folder
// beside the settings, held locked by its process for as long as it runs. A session that quits
// cleanly removes its record; a record left unlocked belongs to a session that ended some other
// way. So several designers at once each keep their own: one that starts beside a running one is
// not taken for a crash, and the clean quit of one leaves the crash of another on record.
//
// An object holds the folder's lock for its life, so that the designers that start and quit at
// the same time take turns, and nothing a turn reads or writes (the settings' launch markers
// among them) changes under it.
class SessionRecords {
public:
    // What the other records say.
    struct Others {
        // Sessions that ended without a clean quit (their records are gone now, so each is told
        // once).
        bool ended = false;
        // Sessions still running, or whose state cannot be told.
        bool running = false;
    };

    // Takes the folder's lock; the folder is made when missing. Without a folder or its lock,
    // nothing is recorded and the other records read as none.
    explicit SessionRecords(const QString &folder);
    ~SessionRecords();
    SessionRecords(const SessionRecords &) = delete;
    SessionRecords &operator=(const SessionRecords &) = delete;

    // Makes this process's record and reads the others. A record this process made before (an
    // earlier session of the same process) is let go first, as if it had ended.
    Others armThisSession();
    // Removes this process's record; true when no record of another session is left.
    bool clearThisSession();

    // The folder of the records beside a settings file: its path without the extension, with
    // ".sessions".
    static QString folderBeside(const QString &settingsFile);

private:
    QString folder_;
    int lockFd_ = -1;
};
