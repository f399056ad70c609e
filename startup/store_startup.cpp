#include "startup/store_startup.h"

#include <filesystem>
#include <system_error>

#include "store/file_moves.h"

namespace dvx {
namespace fs = std::filesystem;
namespace {

bool fileExists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

// Joined with the Windows separator, as the data places are.
fs::path inDirectory(fs::path dir, const char* asciiName) {
  if (dir.empty() || dir.native().back() != fs::path::value_type('\\')) dir += "\\";
  return dir += asciiName;
}

// False when the database beside the program was to be copied to the
// per-user folder and could not be.
bool carryDatabaseBesideProgram(const fs::path& beside, const fs::path& databasePath,
                                Prompter* prompter) {
  // The program directory cannot be written (a standard user, the program
  // under Program Files): its database is copied once to the per-user
  // folder and the original is left as it is.
  if (beside == databasePath || !fileExists(beside) || fileExists(databasePath)) return true;
  if (DomainStore::CopyDatabase(beside, databasePath)) return true;
  if (prompter)
    prompter->notify("无法把数据库 " + pathForDisplay(beside) + " 复制到 " + pathForDisplay(databasePath) +
                         ",数据库未改动。请检查磁盘空间后重新打开软件",
                     "提示", PromptIcon::Information);
  return false;
}

// True when an older database was carried over (the program then ends).
bool carryOldDatabase(const fs::path& oldPath, const StartupPlaces& places, FilePlatform* files,
                      Prompter* prompter, StoreErrorSink* errors) {
  // Once carried, an older file that could not be moved away stays where
  // it is and is never carried again: that would move the newer rows aside.
  if (!fileExists(oldPath) || places.settings.ReadSetting(kKeyOldDatabaseCarried, kNo) == kYes)
    return false;
  const fs::path backup = files ? inDirectory(chooseDataDirectory(*files), "domain.mdb_old_Bak")
                                : fs::path("domain.mdb_old_Bak");
  // When nothing could be carried the old file stays and the store has
  // said why; ending here would end every later start the same way, so
  // the program runs on with domains.mdb instead.
  if (!DomainStore::MigrateOldDatabase(oldPath, places.databasePath, backup, errors)) return false;
  if (fileExists(oldPath)) {
    const bool remembered = places.settings.WriteSetting(kKeyOldDatabaseCarried, kYes);
    if (prompter)
      prompter->notify("旧数据库 " + pathForDisplay(oldPath) + " 的记录已转入 " +
                           pathForDisplay(places.databasePath) + "。旧文件无法移到 " + pathForDisplay(backup) + ",它留在原处," + (remembered ? "以后不再转入" : "请关闭软件后手动移走它"),
                       "提示", PromptIcon::Information);
  }
  if (prompter) prompter->notify("软件扩展了数据库字段数,请重打开软件", "提示", PromptIcon::Information);
  return true;
}

}  // namespace

StartupPlaces chooseStartupPlaces(FilePlatform* files, const fs::path& programDir) {
  StartupPlaces places;
  places.programDir = programDir;
  places.databasePath = inDirectory(files ? chooseDatabaseDirectory(*files, programDir) : programDir, "domains.mdb");
  if (files) places.settings = Settings(chooseSettingsFile(*files));
  places.hosts = places.settings.readHosts();
  if (files) places.hosts.dataDir = chooseDataDirectory(*files);
  return places;
}

OpenedStore openStartupStore(const StartupPlaces& places, FilePlatform* files, Prompter* prompter,
                             StoreErrorSink* errors, bool showsList) {
  OpenedStore opened;
  if (!carryDatabaseBesideProgram(inDirectory(places.programDir, "domains.mdb"), places.databasePath, prompter))
    return opened;
  if (carryOldDatabase(inDirectory(places.programDir, "domain.mdb"), places, files, prompter, errors)) {
    opened.migrated = true;
    return opened;
  }
  DomainStore::CreateIfMissing(places.databasePath);
  opened.store = std::make_shared<DomainStore>(errors);
  opened.store->OpenStore(places.databasePath, showsList);
  return opened;
}

}  // namespace dvx
