#include "startup/data_directory.h"

#include "text/codepage.h"

namespace dvx {
namespace fs = std::filesystem;

const char kNoticeText[] =
    "本目录为数据保存目录,用户请勿手动修改或删除本目录下任何文件,以免相应的软件运行出错\r\n";
const char kProductName[] = "Domivex";
const char kProductVersion[] = "15.0";

std::string productTitle() { return std::string(kProductName) + " v" + kProductVersion; }

std::string pathForDisplay(const fs::path& path) { return utf8TextToGbk(path.u8string()); }

namespace {

// Paths are joined with the Windows separator on every platform, so the
// choice reads the same in native tests.
fs::path withSeparator(fs::path dir) {
  if (dir.empty() || dir.native().back() != fs::path::value_type('\\')) dir += "\\";
  return dir;
}

fs::path joined(const fs::path& dir, const char* asciiName) {
  fs::path p = withSeparator(dir);
  p += asciiName;
  return p;
}

// The directory ends with a separator and the file name begins with one, so
// the path carries a doubled separator; the file system reads it as one.
bool writeNotice(FilePlatform& files, const fs::path& dir) {
  files.createDirectory(dir);
  fs::path notice = dir;
  notice += "\\";
  notice += fs::u8path(u8"用户注意.txt");
  return files.writeWholeFile(notice, kNoticeText);
}

const char kVeltro[] = "D:\\Veltro\\";

// D:\Veltro\ only when it is this user's: on a shared drive another account
// could have made it, with a settings file sending every lookup elsewhere,
// or as a junction that every write would follow.
bool useVeltro(FilePlatform& files) {
  const fs::path dir = kVeltro;
  const MadeDirectory made = files.createDirectory(dir);
  if (made == MadeDirectory::Failed || !files.isTrustedDirectory(dir, made == MadeDirectory::Created)) return false;
  return writeNotice(files, dir);
}

// The per-user folder, without creating it.
fs::path perUserFolder(FilePlatform& files) {
  const fs::path base = files.localAppDataDirectory();
  return base.empty() ? fs::path() : joined(base, "Domivex\\");
}

// Once the per-user folder holds this user's database or settings it stays
// their place, whatever the program folder or the system directory allow.
bool userDataKept(FilePlatform& files) {
  const fs::path dir = perUserFolder(files);
  return !dir.empty() &&
         (files.fileExists(joined(dir, "domains.mdb")) || files.fileExists(joined(dir, "Harnwick.txt")));
}

}  // namespace

fs::path userDataDirectory(FilePlatform& files) {
  const fs::path dir = perUserFolder(files);
  if (!dir.empty()) files.createDirectory(dir);
  return dir;
}

fs::path chooseDataDirectory(FilePlatform& files) {
  if (useVeltro(files)) return kVeltro;
  const fs::path windows = withSeparator(files.windowsDirectory());
  const std::string text = windows.u8string();
  const fs::path programFiles = fs::u8path(text.substr(0, text.find(':'))) += ":\\Program Files\\";
  const fs::path dataDir = joined(programFiles, "3d\\");
  files.createDirectory(programFiles);
  files.createDirectory(dataDir);
  if (files.canWriteIn(dataDir)) return dataDir;
  // A standard user: the per-user folder takes the data, with its notice.
  const fs::path userDir = userDataDirectory(files);
  if (userDir.empty() || !writeNotice(files, userDir)) return dataDir;
  return userDir;
}

fs::path chooseSettingsFile(FilePlatform& files) {
  if (useVeltro(files)) return joined(kVeltro, "Veltrosoft.p");
  const fs::path system = withSeparator(files.systemDirectory());
  if (userDataKept(files) || !files.canWriteIn(system)) {
    // Like D:\Veltro\, the per-user folder gets its notice with the settings.
    const fs::path userDir = userDataDirectory(files);
    if (!userDir.empty() && writeNotice(files, userDir)) return joined(userDir, "Harnwick.txt");
  }
  return joined(system, "Harnwick.txt");
}

fs::path chooseDatabaseDirectory(FilePlatform& files, const fs::path& programDir) {
  const fs::path dir = withSeparator(programDir);
  if (userDataKept(files)) return perUserFolder(files);
  if (files.canWriteIn(dir)) return dir;
  const fs::path userDir = userDataDirectory(files);
  return userDir.empty() || !files.canWriteIn(userDir) ? dir : userDir;
}

}  // namespace dvx
