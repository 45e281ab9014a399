// The result of one command: the first error wins over any warning.
#ifndef KESTREL_CAB_RESULT_H
#define KESTREL_CAB_RESULT_H

#include "ArchiverApi.h"

namespace kestrel::arc::cab {

class CabResult {
public:
    void note(int code) {
        if (code == KA_OK) return;
        bool error = code >= 0x8000;
        if (error ? (code_ < 0x8000) : (code_ == KA_OK)) code_ = code;
    }
    int code() const { return code_; }

private:
    int code_ = KA_OK;
};

}  // namespace kestrel::arc::cab

#endif
