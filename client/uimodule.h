#pragma once

class ClientUi;

// The client's windows, loaded from their module when first needed.
class UiModule
{
public:
    virtual ~UiModule() = default;
    // Null when the module cannot be loaded; then says why on standard error, once.
    // Tests give windows linked into themselves.
    virtual ClientUi* Get();

private:
    bool tried_ = false;
    ClientUi* ui_ = nullptr;
};
