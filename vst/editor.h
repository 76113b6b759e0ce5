// The interface an editor window would implement. This plug-in has none; the
// base classes only route the host's editor requests to one when it exists.
#pragma once

#include <cstdint>

struct VstKeyCode {
    int32_t character;
    unsigned char virt;
    unsigned char modifier;
};

class AEffEditor {
public:
    virtual ~AEffEditor() = default;
    virtual bool getRect(void** rect) { (void)rect; return false; }
    virtual bool open(void* parentWindow) { (void)parentWindow; return false; }
    virtual void close() {}
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode& key) { (void)key; return false; }
    virtual bool onKeyUp(VstKeyCode& key) { (void)key; return false; }
    virtual bool setKnobMode(int32_t mode) { (void)mode; return false; }
};
