#include "app/data_directory.h"

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

std::string chooseDataDirectory(FilePlatform& fs) {
  const std::string preferred = "D:\\Veltro\\";
  if (writeNotice(fs, preferred)) return preferred;
  const std::string windows = withSeparator(fs.windowsDirectory());
  const std::string drive = textBefore(windows, ":");
  const std::string programFiles = drive + ":\\Program Files\\";
  const std::string dataDir = programFiles + "3d\\";
  fs.createDirectory(programFiles);
  fs.createDirectory(dataDir);
  return dataDir;
}

std::string chooseSettingsFile(FilePlatform& fs) {
  if (writeNotice(fs, "d:\\Veltro\\")) return chooseDataDirectory(fs) + "Veltrosoft.p";
  return withSeparator(fs.systemDirectory()) + "Harnwick.txt";
}

}  // namespace dvx
