// The outcome of reading or writing a file, a type of the file layer that the document rules
// above it return too: success with notes for the user, or a fault with its reason.
// The command-line tool prints Error(), the desktop program shows the file's name above
// Sentence().
#pragma once

#include <string>
#include <vector>

struct CFileResult {
    enum class Fault {
        none,
        open,      // the system refused to open or create it (reason: the system's message)
        refused,   // not a file we read or write (reason: what it is, "is a directory")
        read,      // a read failed part way (reason: the system's message)
        format,    // not a document (reason: what is wrong with it)
        write,     // writing or replacing failed (reason: the system's message)
        track,     // read, but no track comes of it (reason: one line that names the file)
        memory,    // memory ran out while reading it (no reason)
        cancelled, // the user stopped the reading (no reason; nothing to tell)
    };

    static CFileResult Failure(Fault fault, const std::string& path, const std::string& reason);
    // A failure whose reason is the system's message for nError.
    static CFileResult SystemFailure(Fault fault, const std::string& path, int nError);

    bool Ok() const { return m_fault == Fault::none; }
    Fault GetFault() const { return m_fault; }
    const std::string& GetReason() const { return m_reason; }

    // One line naming the file: "track.txt: cannot read file: Input/output error".
    std::string Error() const;
    // The same as a sentence without the file: "Cannot read this file: Input/output error."
    std::string Sentence() const;

    // What the user should still be told after a success ("No track points in track.txt.").
    std::vector<std::string> m_notes;

private:
    Fault m_fault = Fault::none;
    std::string m_path;
    std::string m_reason;
};
