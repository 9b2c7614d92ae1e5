// Reads the application manifest of an executable back the way the system
// does: resource 1 of type RT_MANIFEST, parsed into an activation context.
#pragma once
#include <string>
#include <vector>

struct ManifestInfo {
  bool ok = false;
  std::string error;              // why the manifest could not be read, when !ok
  unsigned long runLevel = 0;     // ACTCTX_REQUESTED_RUN_LEVEL
  bool uiAccess = true;
  std::vector<std::string> supportedOS;  // "{guid}" in lower case, as parsed
  std::string dpiAware;           // the settings' values as the system reads them ("" when absent)
  std::string dpiAwareness;
};

ManifestInfo read_manifest(const std::string& exe);
