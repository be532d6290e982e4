#include "tests/support/reference_scanner.h"

void ReferenceScanner::Byte(unsigned char b) {
    if (b == ' ' || b == '\t' || b == '\r') {
        prevSlash_ = false;
        prevStar_ = false;
        if (b != '\r') onlyCR_ = false;
        return;
    }
    if (b == '\n') {
        if (codeSeen_) {
            code_ += 1;
            codeSeen_ = false;
        }
        if (blank_) {
            empty_ += 1;
        } else if (marked_ || inBlock_) {
            comments_ += 1;
            opened_ = false;
        }
        lines_ += 1;
        marked_ = false;
        onlyCR_ = true;
        blank_ = true;
        return;
    }
    if (b == '/' && prevSlash_) {
        opened_ = true;
        marked_ = true;
    }
    if (b == '/' && prevStar_) {
        marked_ = true;
        inBlock_ = false;
    }
    if (b == '*' && prevSlash_) {
        inBlock_ = true;
        opened_ = true;
        marked_ = true;
    }
    prevSlash_ = b == '/';
    prevStar_ = b == '*';
    blank_ = false;
    onlyCR_ = false;
    if (!opened_ && !inBlock_ && b != '/') codeSeen_ = true;
}

void ReferenceScanner::Feed(const unsigned char* bytes, size_t count) {
    for (size_t i = 0; i < count; ++i) Byte(bytes[i]);
}

LineTally ReferenceScanner::Finish() const {
    LineTally t{lines_, code_, comments_, empty_};
    if (lines_ != 0 && !onlyCR_) {
        if (codeSeen_) t.code += 1;
        if (blank_) t.empty += 1;
        if (opened_ || inBlock_) t.comments += 1;
        t.total += 1;
    }
    return t;
}

LineTally ReferenceScan(const void* bytes, size_t count) {
    ReferenceScanner s;
    s.Feed(static_cast<const unsigned char*>(bytes), count);
    return s.Finish();
}
