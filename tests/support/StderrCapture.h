// Sends standard error to a file for the life of the object.
#pragma once

#include <io.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

class StderrCapture {
public:
    explicit StderrCapture(const std::string& path) : path_(path) {
        fflush(stderr);
        saved_ = _dup(_fileno(stderr));
        freopen(path.c_str(), "wb", stderr);
    }
    ~StderrCapture() { Restore(); }
    std::string Take() {
        Restore();
        std::ifstream in(path_, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    void Restore() {
        if (saved_ < 0) return;
        fflush(stderr);
        _dup2(saved_, _fileno(stderr));
        _close(saved_);
        saved_ = -1;
    }
    std::string path_;
    int saved_ = -1;
};
