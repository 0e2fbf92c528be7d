// Back-ends that keep a storage's tree in a file: the file's location and its
// safe replacement (TrsStreamData), and the INI text format (TrsIniData).
#pragma once

#include "Classes.h"
#include "rsStorage.h"

#include <QByteArray>
#include <QFlags>
#include <QString>

#include <memory>

namespace RsIni {
Q_NAMESPACE

enum TrsStreamFileDir { fdCustom, fdApplication, fdWindows, fdUserProfile };
Q_ENUM_NS(TrsStreamFileDir)

enum TrsInternalFileLoad { iflNone, iflAlways, iflNoRealFile };
Q_ENUM_NS(TrsInternalFileLoad)

enum TrsStreamDataOption { doAutoName = 1, doAutoCreateDir = 2 };
Q_DECLARE_FLAGS(TrsStreamDataOptions, TrsStreamDataOption)
Q_FLAG_NS(TrsStreamDataOptions)

enum TrsIniCompactOption { coHexStr = 1 };
Q_DECLARE_FLAGS(TrsIniCompactOptions, TrsIniCompactOption)
Q_FLAG_NS(TrsIniCompactOptions)
}  // namespace RsIni

Q_DECLARE_OPERATORS_FOR_FLAGS(RsIni::TrsStreamDataOptions)
Q_DECLARE_OPERATORS_FOR_FLAGS(RsIni::TrsIniCompactOptions)
// Named unqualified everywhere; the namespace exists for the meta-object system.
using RsIni::TrsStreamFileDir;
using enum RsIni::TrsStreamFileDir;
using RsIni::TrsInternalFileLoad;
using enum RsIni::TrsInternalFileLoad;
using RsIni::TrsStreamDataOption;
using enum RsIni::TrsStreamDataOption;
using RsIni::TrsIniCompactOption;
using enum RsIni::TrsIniCompactOption;
using RsIni::TrsIniCompactOptions;
using RsIni::TrsStreamDataOptions;

// Where the files of FileDir fdApplication live: the executable's folder, or
// `folder` while it is not empty (tests keep their settings files apart).
void SetApplicationSettingsFolder(const QString& folder);
// Where the files of FileDir fdApplication go when the executable's folder
// cannot be written (an installed program): $XDG_CONFIG_HOME/notarium, by
// default ~/.config/notarium, made when missing.
QString UserSettingsFolder();

// Back-end for one file: works out where the file is, reads it whole into
// memory for parsing and writes the formatted tree so that an interrupted
// write never leaves a truncated file behind.
class TrsStreamData : public TrsStorageData {
  Q_OBJECT
  Q_PROPERTY(QString FileName READ FileName WRITE SetFileName)
  Q_PROPERTY(RsIni::TrsStreamFileDir FileDir READ FileDir WRITE SetFileDir)
  Q_PROPERTY(QString InternalFileName READ InternalFileName WRITE SetInternalFileName)
  Q_PROPERTY(RsIni::TrsInternalFileLoad InternalFileLoad READ InternalFileLoad WRITE SetInternalFileLoad)
  Q_PROPERTY(RsIni::TrsStreamDataOptions Options READ Options WRITE SetOptions)
  Q_PROPERTY(TNotifyEvent OnLoadFromStream READ OnLoadFromStream WRITE SetOnLoadFromStream)
  Q_PROPERTY(TNotifyEvent OnSaveToStream READ OnSaveToStream WRITE SetOnSaveToStream)
public:
  explicit TrsStreamData(TComponent* owner = nullptr);
  ~TrsStreamData() override;

  // The file's name; "\" and "/" both separate directories.
  QString FileName() const { return FFileName; }
  void SetFileName(const QString& name) { FFileName = name; }
  TrsStreamFileDir FileDir() const { return FFileDir; }
  void SetFileDir(TrsStreamFileDir dir) { FFileDir = dir; }
  // A resource (":/...") holding a copy of the settings file.
  QString InternalFileName() const { return FInternalFileName; }
  void SetInternalFileName(const QString& name) { FInternalFileName = name; }
  TrsInternalFileLoad InternalFileLoad() const { return FInternalFileLoad; }
  void SetInternalFileLoad(TrsInternalFileLoad mode) { FInternalFileLoad = mode; }
  TrsStreamDataOptions Options() const { return FOptions; }
  void SetOptions(TrsStreamDataOptions options) { FOptions = options; }
  TNotifyEvent OnLoadFromStream() const { return FOnLoadFromStream; }
  void SetOnLoadFromStream(const TNotifyEvent& e) { FOnLoadFromStream = e; }
  TNotifyEvent OnSaveToStream() const { return FOnSaveToStream; }
  void SetOnSaveToStream(const TNotifyEvent& e) { FOnSaveToStream = e; }

  // The file's full path, worked out afresh from the properties:
  //   fdCustom       the directory part of FileName
  //   fdApplication  the executable's directory
  //   fdWindows      the system's configuration directory, /etc
  //   fdUserProfile  the user's configuration directory ($XDG_CONFIG_HOME,
  //                  ~/.config), or none
  // then FileName's directory part (except for fdCustom), the executable's
  // name with doAutoName or else FileName's name, and FileName's extension or
  // else DefaultExtension().
  QString FullFileName() const;
  virtual QString DefaultExtension() const { return QString(); }

  // The text format: bytes into the tree, the tree into bytes.
  virtual void ParseStream(TrsStorage& storage, const QByteArray& bytes);
  virtual QByteArray FormatStream(TrsStorage& storage);

protected:
  // Reads the file (or the internal copy) and parses it; a missing file
  // leaves the tree empty. An unreadable file raises EFOpenError.
  void LoadData(TrsStorage& storage) override;
  // Formats the tree and replaces the file through a temporary file in the
  // same directory. A file that cannot be written raises EFCreateError naming
  // it; the old file is then left as it was.
  void SaveData(TrsStorage& storage) override;

private:
  QString FFileName;
  TrsStreamFileDir FFileDir = fdApplication;
  QString FInternalFileName;
  TrsInternalFileLoad FInternalFileLoad = iflNone;
  TrsStreamDataOptions FOptions = doAutoName;
  TNotifyEvent FOnLoadFromStream, FOnSaveToStream;
};

// The INI text format: "[section\path]" headers and "name=value" lines in the
// user's single-byte code page, CR LF line ends.
class TrsIniData : public TrsStreamData {
  Q_OBJECT
  Q_PROPERTY(RsIni::TrsIniCompactOptions CompactOptions READ CompactOptions WRITE SetCompactOptions)
  Q_PROPERTY(TStrings* Template READ Template WRITE SetTemplate)
  Q_PROPERTY(bool FixedDateTimeFormat READ FixedDateTimeFormat WRITE SetFixedDateTimeFormat)
public:
  explicit TrsIniData(TComponent* owner = nullptr);
  ~TrsIniData() override;

  TrsIniCompactOptions CompactOptions() const { return FCompactOptions; }
  void SetCompactOptions(TrsIniCompactOptions options) { FCompactOptions = options; }
  // Text around the settings: the lines before "%BODY%" come first, the
  // lines after it last.
  TStrings* Template() const { return FTemplate.get(); }
  void SetTemplate(TStrings* lines);
  bool FixedDateTimeFormat() const { return FFixedDateTimeFormat; }
  void SetFixedDateTimeFormat(bool fixed) { FFixedDateTimeFormat = fixed; }

  QString DefaultExtension() const override { return QStringLiteral(".ini"); }

  // Adds what the text holds to the tree. A "curr:", "date:", "int64:" or
  // "point:" value whose numbers do not parse raises EConvertError; the keys
  // read before it stay.
  void ParseStream(TrsStorage& storage, const QByteArray& bytes) override;
  QByteArray FormatStream(TrsStorage& storage) override;

  // One value as the writer puts it after "name=", and the reader's reading of
  // that text (false: the value creates no key).
  QByteArray FormatValue(const TrsValue& value) const;
  static bool ParseValue(const QByteArray& text, TrsValue& value);

private:
  TrsIniCompactOptions FCompactOptions;
  std::unique_ptr<TStringList> FTemplate;
  bool FFixedDateTimeFormat = false;
};
