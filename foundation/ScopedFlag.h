// Sets a flag for the length of a scope and clears it on every way out. It
// marks work that lets window messages through while it runs, so that a
// request arriving through one of them can see the work is under way
// instead of starting it again on top of itself.
#pragma once

class CScopedFlag {
public:
    explicit CScopedFlag(bool& bFlag) : m_bFlag(bFlag) { m_bFlag = true; }
    ~CScopedFlag() { m_bFlag = false; }
    CScopedFlag(const CScopedFlag&) = delete;
    CScopedFlag& operator=(const CScopedFlag&) = delete;

private:
    bool& m_bFlag;
};
