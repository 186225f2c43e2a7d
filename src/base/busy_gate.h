// One busy state for the whole program. It is set while a scan or a typed label is being
// handled, pauses and message boxes included, so that a poll tick falling due meanwhile
// neither reads nor frames input: that input waits in the port until the handler returns.
#pragma once

namespace lumetra {

class BusyGate {
public:
    class Scope {
    public:
        explicit Scope(BusyGate& gate) : m_gate(gate) { ++m_gate.m_depth; }
        ~Scope() { --m_gate.m_depth; }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        BusyGate& m_gate;
    };

    bool busy() const { return m_depth > 0; }

private:
    int m_depth = 0;
};

} // namespace lumetra
