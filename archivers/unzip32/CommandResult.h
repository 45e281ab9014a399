// The one result a command returns after many entries: the gravest thing that happened.
#pragma once

namespace kestrel::zip {

class CommandResult {
public:
    // Records a KA_* code; a graver one replaces a lighter one.
    void note(int code);
    int value() const { return code_; }

private:
    static int weight(int code);
    int code_ = 0;
};

}  // namespace kestrel::zip
