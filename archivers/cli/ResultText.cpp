#include "ResultText.h"

#include <cstdio>

#include "../common/ArchiverApi.h"

namespace kestrel::cli {

namespace {

const char* resultName(int result) {
    switch (result) {
    case KA_OK: return "KA_OK";
    case KA_WARN_SKIPPED: return "KA_WARN_SKIPPED";
    case KA_ERR_USAGE: return "KA_ERR_USAGE";
    case KA_ERR_NOT_ARCHIVE: return "KA_ERR_NOT_ARCHIVE";
    case KA_ERR_DAMAGED: return "KA_ERR_DAMAGED";
    case KA_ERR_OPEN: return "KA_ERR_OPEN";
    case KA_ERR_WRITE: return "KA_ERR_WRITE";
    case KA_ERR_NO_MATCH: return "KA_ERR_NO_MATCH";
    case KA_ERR_CANCELLED: return "KA_ERR_CANCELLED";
    case KA_ERR_MISSING_VOLUME: return "KA_ERR_MISSING_VOLUME";
    case KA_ERR_MEMORY: return "KA_ERR_MEMORY";
    case KA_ERR_UNSUPPORTED: return "KA_ERR_UNSUPPORTED";
    default: return nullptr;
    }
}

}  // namespace

std::string resultText(int result) {
    char text[64];
    const char* name = resultName(result);
    if (name != nullptr)
        std::snprintf(text, sizeof text, "0x%04X %s", static_cast<unsigned>(result), name);
    else
        std::snprintf(text, sizeof text, "0x%04X", static_cast<unsigned>(result));
    return text;
}

int exitStatus(int result) {
    if (result == KA_OK)
        return 0;
    return result < 0x8000 ? 1 : 2;
}

}  // namespace kestrel::cli
