#include "startup/data_directory.h"

#include "text/gbk_text.h"

namespace dvx {

const char kNoticeText[] =
    "本目录为数据保存目录,用户请勿手动修改或删除本目录下任何文件,以免相应的软件运行出错\r\n";
const char kProductName[] = "Domivex";
const char kProductVersion[] = "15.0";

std::string productTitle() { return std::string(kProductName) + " v" + kProductVersion; }

namespace {

std::string withSeparator(std::string dir) {
  if (dir.empty() || dir.back() != '\\') dir += '\\';
  return dir;
}

// The directory ends with a separator and the file name begins with one, so
// the path carries a doubled separator; the file system reads it as one.
bool writeNotice(FilePlatform& fs, const std::string& dir) {
  fs.createDirectory(dir);
  return fs.writeWholeFile(dir + "\\用户注意.txt", kNoticeText);
}

}  // namespace

std::string userDataDirectory(FilePlatform& fs) {
  const std::string base = fs.localAppDataDirectory();
  if (base.empty()) return std::string();
  const std::string dir = withSeparator(base) + kProductName + "\\";
  fs.createDirectory(dir);
  return dir;
}

std::string chooseDataDirectory(FilePlatform& fs) {
  const std::string preferred = "D:\\Veltro\\";
  if (writeNotice(fs, preferred)) return preferred;
  const std::string windows = withSeparator(fs.windowsDirectory());
  const std::string drive = textBefore(windows, ":");
  const std::string programFiles = drive + ":\\Program Files\\";
  const std::string dataDir = programFiles + "3d\\";
  fs.createDirectory(programFiles);
  fs.createDirectory(dataDir);
  if (fs.canWriteIn(dataDir)) return dataDir;
  // A standard user: the per-user folder takes the data, with its notice.
  const std::string userDir = userDataDirectory(fs);
  if (userDir.empty() || !writeNotice(fs, userDir)) return dataDir;
  return userDir;
}

std::string chooseSettingsFile(FilePlatform& fs) {
  if (writeNotice(fs, "d:\\Veltro\\")) return chooseDataDirectory(fs) + "Veltrosoft.p";
  const std::string system = withSeparator(fs.systemDirectory());
  if (!fs.canWriteIn(system)) {
    // Like D:\Veltro\, the per-user folder gets its notice with the settings.
    const std::string userDir = userDataDirectory(fs);
    if (!userDir.empty() && writeNotice(fs, userDir)) return userDir + "Harnwick.txt";
  }
  return system + "Harnwick.txt";
}

std::string chooseDatabaseDirectory(FilePlatform& fs, const std::string& programDir) {
  const std::string dir = withSeparator(programDir);
  if (fs.canWriteIn(dir)) return dir;
  const std::string userDir = userDataDirectory(fs);
  return userDir.empty() || !fs.canWriteIn(userDir) ? dir : userDir;
}

}  // namespace dvx
