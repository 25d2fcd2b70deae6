#pragma once

#include "db/settingsfile.h"

namespace kelvo {

// Keeps the settings dialog's choice of AccountingMode in the settings file,
// section "Tfservis", key "suiComboBox1_ItemIndex", the way a window-state store
// does: restored whenever the dialog is shown, stored whenever it closes - but
// only once it has been restored in this run.
class AccountingModeStore {
  public:
    // The file `fileName` in `directory`, looked up anew at every restore and
    // store, whatever the letter case of its name on disk.
    AccountingModeStore(QString directory, QString fileName)
        : directory_(std::move(directory)), fileName_(std::move(fileName)) {}
    // The file named after the executable (kelvo.ini beside kelvo).
    static AccountingModeStore forExecutable(const QString& executablePath);

    // The index the dialog shows: the stored value, `currentIndex` when the key
    // is missing, 0 for text that is not a whole number; any number is returned
    // as it is (an index outside the list chooses no entry). A negative
    // "FormVersion" restores nothing and returns `currentIndex`.
    int restore(int currentIndex);
    bool restored() const { return restored_; }

    // Writes "FormVersion" = 0 and the index (-1 for no entry), when restored
    // before. Throws std::runtime_error when the file cannot be written.
    void store(int index);

    SettingsFile settings() const { return SettingsFile::inDirectory(directory_, fileName_); }

  private:
    QString directory_;
    QString fileName_;
    bool restored_ = false;
};

} // namespace kelvo
