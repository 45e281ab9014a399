#include "CommandResult.h"

#include "ArchiverApi.h"

namespace kestrel::zip {

int CommandResult::weight(int code) {
    // A cancel or a write failure ends the command and matters most; a damaged entry
    // is graver than one this library could not decode; any error outweighs a skip.
    switch (code) {
    case KA_OK: return 0;
    case KA_WARN_SKIPPED: return 1;
    case KA_ERR_NO_MATCH: return 2;
    case KA_ERR_UNSUPPORTED: return 3;
    case KA_ERR_DAMAGED: return 4;
    case KA_ERR_OPEN: return 5;
    case KA_ERR_MEMORY: return 6;
    case KA_ERR_WRITE: return 7;
    case KA_ERR_CANCELLED: return 8;
    default: return 5;
    }
}

void CommandResult::note(int code) {
    if (weight(code) > weight(code_))
        code_ = code;
}

}  // namespace kestrel::zip
