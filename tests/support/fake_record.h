// A stand-in for the window's controls: the record as a plain value, and how often it was set.
#pragma once

#include "data/cardfilecommands.h"

class FakeRecord : public RecordAccess {
  public:
    CardRecord value;
    int setCount = 0;

    CardRecord record() const override { return value; }
    void setRecord(const CardRecord& record) override {
        value = record;
        ++setCount;
    }
};
