// A round: one task of level mode or one game of two-player mode. The module makes one at a
// time and drives it only through the virtual operations below (their order is the rounds'
// common table); the round owns its task records, its tiles (CTileList) and its layout.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "activities/ruduridodu/round_tile.h"
#include "activities/ruduridodu/slot_layout.h"
#include "activities/ruduridodu/task_record.h"

class CCorAnim;
class CPlayerPiece;

// The round's tiles, linked through their own links; the list owns them.
class CTileList {
public:
    CTileList() = default;
    ~CTileList();
    CTileList(const CTileList&) = delete;
    CTileList& operator=(const CTileList&) = delete;

    // Into an empty list the tile becomes the first; otherwise it goes right after a tile
    // chosen at random, so the first stays first.
    void InsertRandom(CRoundTile* tile);
    // Unlinks the tile; a tile not in the list changes no tally. Its link is cleared.
    void Remove(CRoundTile* tile);
    // The next tile to hand out, null when every one has been.
    CRoundTile* TakeNext();
    void Rewind() { m_next = m_first; }
    CRoundTile* FindBySprite(const CCorAnim* sprite) const;
    CRoundTile* FindById(uint16_t id) const;
    // Every tile drives off, with sound 740 (twice on one channel for more than 10 tiles).
    void LeaveAll();
    // A tile out, not the last handed out, bumps its neighbours or turns round.
    void IdleMove();
    void DeleteAll();

    CRoundTile* First() const { return m_first; }
    int16_t Count() const { return m_count; }
    int16_t HandedOut() const { return m_handedOut; }
    int16_t Out() const { return m_out; }

private:
    CRoundTile* m_first = nullptr;
    int16_t m_count = 0;
    CRoundTile* m_next = nullptr;
    int16_t m_handedOut = 0;
    int16_t m_out = 0;
};

class CRoundTask {
public:
    CRoundTask();
    virtual ~CRoundTask();
    CRoundTask(const CRoundTask&) = delete;
    CRoundTask& operator=(const CRoundTask&) = delete;

    // Presents the round: 1 when the presentation ran to its end, 0 when a click cut it short.
    virtual int16_t Start(int16_t first);
    // Sets the round type and the last record number and makes records 0 to n.
    virtual void CreateRecords();
    virtual CSlotLayout* CreateLayout();
    virtual void PlacePiece(int16_t code, int16_t value, int16_t player);
    virtual void AfterPiece(int16_t code);
    // Fills the task records: the task's content and its tiles.
    virtual void Generate();
    virtual void Hook6();
    virtual int16_t DropTile(CRoundTile* tile, int16_t container);
    virtual int16_t IsSolved();
    virtual void EndAct();
    virtual int16_t RepeatPrompt();
    virtual void TileCue(CRoundTile* tile);
    virtual CRoundTile* NextTile();
    virtual void OnTilePicked();
    virtual void OnPiecePicked();

    // Level mode: records, content, layout.
    void Prepare();
    // Two-player mode: records, the category, layout.
    void PrepareTwoPlayer(int16_t category);
    // The closing act, then every tile leaves.
    void EndRound();

    int16_t RoundType() const { return m_roundType; }
    int16_t LastRecord() const { return m_lastRecord; }
    // Record i from 0 to the last record; null outside.
    CTaskRecord* GetRecord(int16_t i) const;
    CRoundTile* GetCurrentTile() const { return m_currentTile; }
    void SetCurrentTile(CRoundTile* tile) { m_currentTile = tile; }
    int16_t GetTableIndex() const { return m_tableIndex; }
    CRoundTile* FindTileById(uint16_t id) const { return m_tiles->FindById(id); }
    CTileList& Tiles() const { return *m_tiles; }
    // Takes the tile out of the list and deletes it; it is no longer the current tile nor the
    // one picked by switch access.
    void DeleteTile(CRoundTile* tile);
    // Two-player play: the player piece of that index; null outside a two-player scene.
    CPlayerPiece* PlayerPiece(int16_t i) const;
    CSlotLayout* Layout() const { return m_layout.get(); }
    int16_t TilesNeeded() const { return m_tilesNeeded; }
    int16_t TilesPlaced() const { return m_tilesPlaced; }
    void AddTilePlaced() { ++m_tilesPlaced; }
    int16_t TaskWord(int i) const { return m_words[static_cast<size_t>(i)]; }

    CSlotTarget* GetContainer(int16_t i) const;
    int16_t ContainerTally() const;
    int16_t AnnouncedTally() const;
    CSlotTarget* FindContainerBySprite(const CCorAnim* sprite) const;
    int16_t ContainerAt(int16_t x, int16_t y) const;
    // The first container whose picture box holds the point, its right and lower edges
    // included; 10 when none.
    int16_t ContainerBoxAt(int16_t x, int16_t y) const;
    int16_t AnnounceContainer(int16_t i);

    CRoundTile* PickedTile() const { return m_tilePicked ? m_pickedTile : nullptr; }
    void SetPickedTile(CRoundTile* tile) {
        m_pickedTile = tile;
        m_tilePicked = tile ? 1 : 0;
    }
    CPlayerPiece* PickedPiece() const { return m_piecePicked ? m_pickedPiece : nullptr; }
    void SetPickedPiece(CPlayerPiece* piece) {
        m_pickedPiece = piece;
        m_piecePicked = piece ? 1 : 0;
    }

protected:
    // Makes records 0 to n, numbered 0 to n.
    void MakeRecords(int16_t roundType, int16_t lastRecord);

    int16_t m_roundType = 0;
    int16_t m_lastRecord = -1;
    std::array<int16_t, 3> m_words{};
    int16_t m_tilesNeeded = 0;
    int16_t m_tilesPlaced = 0;
    CRoundTile* m_currentTile = nullptr;
    std::array<std::unique_ptr<CTaskRecord>, 4> m_records;
    std::unique_ptr<CTileList> m_tiles;
    std::unique_ptr<CSlotLayout> m_layout;
    int16_t m_twoPlayerWord = 0;
    CRoundTile* m_pickedTile = nullptr;
    int16_t m_tilePicked = 0;
    CPlayerPiece* m_pickedPiece = nullptr;
    int16_t m_piecePicked = 0;
    // The task kinds' table index; a two-player round's variant code.
    int16_t m_tableIndex = 0;
    int16_t m_category = 0;
};
