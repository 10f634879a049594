#include "products/ORVProduct.h"

#include "platform/Errors.h"
#include "platform/FaultInjection.h"
#include "platform/Text.h"
#include "platform/FileLocation.h"
#include "platform/FileReadingPath.h"
#include "platform/FileWriter.h"
#include "products/SharedRoutines.h"
#include "sysops/ActionPlan.h"

#include <string>

namespace {

// Creates or overwrites the file and writes the bytes; the file layer's
// exceptions carry the path and the Windows code.
void WriteWholeFile(const std::wstring& path, const char* bytes, size_t size) {
    const FileLocation location(TranscodeU16ToU8(path));
    // Test seam: Wine cannot refuse a write to the temporary folder.
    if (const DWORD fault = WindowsPlatform::InjectedFault("CreateFileW/ResponseFile"))
        throw FileIOError(fault, location.Text());
    WindowsPlatform::FileWritingPath file(location);
    FileWriter writer(file);
    writer.Write(bytes, size);
}

}  // namespace

bool ORVProduct::WriteResponseFile(const std::wstring& path) {
    if (!ActOrDescribe(PlannedAction{ActionKind::ResponseFile, path}, log)) return true;
    log.Write(L"Creating install shield response file...");
    return WriteResponseText(path, kInstallShieldResponseFile);
}

bool ORVProduct::WriteResponseText(const std::wstring& path, const std::string& text) {
    try {
        WriteWholeFile(path, text.data(), text.size());
    } catch (...) {
        log.WriteCurrentException();
        log.EndLine();
        return false;
    }
    log.Write(L"done");
    log.EndLine();
    return true;
}
