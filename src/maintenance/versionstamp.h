#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace kelvo {

// Version stamps are texts "yyyy-mm-dd hh:nn:ss". The server writes one into
// its version file; the program makes its own from the time its file was last
// written. The newer program is the one with the greater stamp.

// The server's stamp from the version file's bytes: the second line (lines end
// in CR, LF or CR LF), its third TAB-separated field, at most 19 characters of
// it. A file without a second line or a line with fewer than three fields gives
// an empty stamp. Bytes are taken one for one as characters, so the comparison
// sees the codes the file holds.
QString serverStampFromVersionFile(const QByteArray& content);

// The stamp of a modification time, in local time, to the even second below:
// the date as yyyy-mm-dd, a blank, and the time of day with a two-digit hour.
QString localStampFromTime(const QDateTime& modified);

// The stamp of a file's modification time; empty when the file does not exist.
QString localStampOfFile(const QString& path);

// The stamp without its blanks, '-' and ':' ("2014-10-01 09:05:06" gives
// "20141001090506"), the form in which two stamps are compared.
QString withoutSeparators(QString stamp);

// True when the server's stamp, compared character by character by code, is
// greater than the local one. Where one text begins the other, the shorter is
// the smaller: a date-only "20141115" is older than "20141115080000".
bool serverIsNewer(const QString& serverStamp, const QString& localStamp);

// Writes "verze.log" into `directory`: the local and the server's stamp, as
// formatted, on two lines ending in CR LF. Returns false with the reason in
// `error` when the file cannot be written.
bool writeVersionLog(const QString& directory, const QString& localStamp,
                     const QString& serverStamp, QString* error);

// The setting "FTPPassive" as a yes or no: yes exactly for "true" in any letter
// case; "1", "yes" and the like mean active transfers.
bool passiveFromSetting(const QString& value);

} // namespace kelvo
