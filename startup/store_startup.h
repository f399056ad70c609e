// The start-up the main window and the unattended check share: where the
// database, the settings and the data directory are, and opening the store
// (carrying a database beside the program or an older one over first).
#pragma once
#include <filesystem>
#include <memory>
#include <string>

#include "lookup/lookup_hosts.h"
#include "startup/data_directory.h"
#include "startup/prompter.h"
#include "startup/settings.h"
#include "store/domain_store.h"

namespace dvx {

struct StartupPlaces {
  std::filesystem::path programDir;    // without a trailing separator
  std::filesystem::path databasePath;  // ...\domains.mdb
  Settings settings;
  LookupHosts hosts;         // with the data directory filled in
};

// Without a file platform (tests) everything stays beside the program.
StartupPlaces chooseStartupPlaces(FilePlatform* files, const std::filesystem::path& programDir);

struct OpenedStore {
  std::shared_ptr<DomainStore> store;  // null when the program is to end
  bool migrated = false;               // an older database was carried over
};

// Carries a database beside the program to the per-user folder and an older
// domain.mdb into domains.mdb when needed, then opens the store. The store
// is null when the program ends here (a carry that the user must see take
// effect at the next start, or a copy that failed); `prompter` has said why.
OpenedStore openStartupStore(const StartupPlaces& places, FilePlatform* files, Prompter* prompter,
                             StoreErrorSink* errors, bool showsList = true);

}  // namespace dvx
