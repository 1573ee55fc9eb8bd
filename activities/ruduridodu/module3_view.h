// A read-only snapshot of module 3 for tests and the bot: the mode, variant and level, the
// round's records and what they stand for, the current car (its record, number and place), the
// rings' ovals and the player pieces with their markers. Taking it changes nothing in the
// module: no sprite, no sound, no random number.
#pragma once

#include <cstdint>
#include <vector>

#include "media/util/cor_geometry.h"

struct Module3Snapshot {
    struct Record {
        int16_t number = 0;
        int16_t value = 0;  // what the record's ring stands for (0 for the bin's record)
        int16_t extra = 0;  // the number that goes with a rule 51 to 56
        int16_t tally = 0;  // the cars made for it
        bool marked = false;
    };
    struct Car {
        int16_t record = 0;  // its ring's number, 0 for the bin
        int16_t number = 0;
        CCorRect rect{0, 0, 0, 0};  // its picture on the screen
        bool placed = false;
    };
    struct Ring {
        int16_t number = 0;
        int16_t value = 0;
        CCorRect oval{0, 0, 0, 0};  // the box of its oval: a point inside the oval is inside the ring
        int16_t centreX = 0;
        int16_t centreY = 0;
    };
    struct Piece {
        int16_t value = 0;
        int16_t homeX = 0;
        int16_t homeY = 0;
        bool placed = false;
        int16_t marker = 2;  // the picture its marker shows
    };

    bool levelMode = true;
    int16_t variant = 1;
    int16_t level = 1;
    int16_t taskIndex = 0;
    std::vector<Record> records;  // 0 to the round's last; none without a round
    bool hasCar = false;
    Car car;                      // the round's current car, when hasCar
    std::vector<Ring> rings;      // ring 1 up
    std::vector<Piece> pieces;    // the two-player scene's pieces; none without the scene
};

Module3Snapshot Module3View();
