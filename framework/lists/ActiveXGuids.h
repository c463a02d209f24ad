// Class and interface identifiers of the hosted objects that the toolchain's libraries
// do not carry (or only as header-local definitions), declared here once.
#pragma once

#include <windows.h>

namespace HiveUI {

extern const CLSID kClsidWebBrowser;
extern const IID kIidCustomDoc;
extern const GUID kCgidDocHostCommandHandler;
extern const IID kIidDownloadManager;
extern const IID kIidShockwaveFlash;
extern const IID kDiidShockwaveFlashEvents;

}  // namespace HiveUI
