#pragma once

namespace browser {

// What the refresh button asks of the folder lists: to read the drives, the
// tree and the list again. Throws Error; the toolbar reports it.
class FolderRefresh
{
public:
    virtual ~FolderRefresh() = default;
    virtual void refreshFolder() = 0;
};

} // namespace browser
