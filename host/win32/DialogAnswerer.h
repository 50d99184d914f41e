#pragma once
// Answers the plug-in's modal dialogs on the command line, where nobody can,
// with the platform's dialogs for real: a file dialog gets the file given on
// the command line (or is cancelled), a message box is printed and closed
// with its default button, and any other dialog is cancelled. Each dialog is
// answered from inside its own modal loop, once it is up.
#include <cstdio>
#include <filesystem>

namespace pelmora::host {

class Win32DialogAnswerer {
public:
    // Watches the dialogs of the calling thread until destroyed.
    explicit Win32DialogAnswerer(std::FILE* messages);
    ~Win32DialogAnswerer();
    Win32DialogAnswerer(const Win32DialogAnswerer&) = delete;
    Win32DialogAnswerer& operator=(const Win32DialogAnswerer&) = delete;

    // The file the next file dialog is answered with; empty cancels it.
    void SetFileAnswer(const std::filesystem::path& file) { fileAnswer_ = file; }

    // Called from the dialog's own loop.
    void Answer(void* dialog);

private:
    void* hook_ = nullptr;
    std::filesystem::path fileAnswer_;
    std::FILE* messages_;
};

} // namespace pelmora::host
