// Where the script's bytes come from: the open temporary copy (a runtime-library stream), or
// memory (tests, fuzzing).
#pragma once

#include <cstdio>
#include <string>

namespace setup {

class CScriptSource {
public:
    virtual ~CScriptSource() = default;
    // The next byte (0 to 255), or EOF at the end of the bytes or on a read error.
    virtual int Get() = 0;
    // A read error, not the end, stopped the bytes.
    virtual bool Failed() const = 0;
    // Back to the first byte.
    virtual void Rewind() = 0;
};

// Reads an open stream; does not own it.
class CFileScriptSource : public CScriptSource {
public:
    explicit CFileScriptSource(FILE* file) : m_file(file) {}
    int Get() override { return std::getc(m_file); }
    bool Failed() const override { return std::ferror(m_file) != 0; }
    void Rewind() override { std::rewind(m_file); }

private:
    FILE* m_file;
};

class CMemoryScriptSource : public CScriptSource {
public:
    explicit CMemoryScriptSource(std::string bytes) : m_bytes(std::move(bytes)) {}
    int Get() override {
        return m_pos < m_bytes.size() ? static_cast<unsigned char>(m_bytes[m_pos++]) : EOF;
    }
    bool Failed() const override { return false; }
    void Rewind() override { m_pos = 0; }

private:
    std::string m_bytes;
    size_t m_pos = 0;
};

}  // namespace setup
