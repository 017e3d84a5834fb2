#pragma once

#include <string>

namespace tarvo {

// Deletes every file below `folder`, recursing into sub-folders, but keeps the folders
// themselves. Entries whose names begin with "." are skipped (and not entered). A
// folder that can't be read is left alone; symbolic links are removed as links, never
// followed. Any thread.
void DeleteFolderFiles(const std::string& folder);

}  // namespace tarvo
