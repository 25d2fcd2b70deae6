#pragma once

#include <QString>

namespace kelvo {

// The program's INI file. Sections and keys are matched without regard to
// letter case; the file is read anew at every call, so a value written by one
// window is what the next reader sees. A missing or unreadable file gives the
// defaults and reports nothing.
class SettingsFile {
public:
    explicit SettingsFile(QString path) : path_(std::move(path)) {}

    // The file `fileName` in `directory`, found whatever the letter case of its
    // name on disk (kelvo.ini, KELVO.INI and Kelvo.Ini are one file). When no such
    // file exists yet, the path names it in lower case.
    static SettingsFile inDirectory(const QString& directory, const QString& fileName);
    // The file named after the executable: its file name with the extension
    // replaced by ".INI", beside it.
    static SettingsFile forExecutable(const QString& executablePath);

    const QString& path() const { return path_; }

    // The key's value with blanks trimmed; `defaultValue` when the file, the
    // section or the key is missing. A key present with an empty value gives "".
    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    // The key's value as a whole number; `defaultValue` when the key is missing
    // or its value is not a whole number.
    int readInt(const QString& section, const QString& key, int defaultValue) const;
    // Sets one key, keeping every other line of the file as it was. Adds the
    // section or the key when missing, creates the file when there is none.
    // Returns false (with the reason in `error`) when the file cannot be written.
    bool writeString(const QString& section, const QString& key, const QString& value,
                     QString* error = nullptr) const;

private:
    QString path_;
};

} // namespace kelvo
