// The nodes of the type tree, built from a type without any widget: which
// node shows what, how a rebuild keeps the nodes of elements that still
// exist, and what a selected node names.
#pragma once

#include <cstdint>
#include <string>

#include "NodeExt.h"
#include "TypeSelection.h"

class TMLSUnit;
class TTypeObjectData;

// Node ids; each is also the image index of its item.
enum : int32_t {
    NodeRoot = 0,
    NodeParameters = 1,
    NodeTypeName = 2,
    NodeLanguage = 3,
    NodeConfiguration = 4,
    NodeTable = 8,
    NodeTableName = 9,
    NodeFunction = 10,
    NodeBlock = 11,
    NodeTableCfg = 12,
    NodeLevel = 13,
    NodeRows = 14,
    NodeFields = 15,
    NodeField = 16,
    NodeFieldName = 17,
    NodeFieldUnits = 18,
    NodeFieldSize = 19,
    NodeCurrentLanguage = 20,
    NodeFieldFlags = 21,
    NodeIdCount = 22,
};

// The captions of the nodes in the selected language.
struct TTypeTreeTexts {
    std::string Parameters, Type, Configuration, Language, Table, Name, Cfg, Field;
    std::string Function, Block, Level, Rows, Fields, Size, Units;

    explicit TTypeTreeTexts(const TMLSUnit& texts);
    // The captions fetched at every rebuild.
    void Refetch(const TMLSUnit& texts);
};

// Brings the node tree below root in line with the type; creates the root
// (mirrored into nodes) when there is none. Nodes are found by kind and
// position, so the items of elements that still exist stay (and keep their
// expanded and selected state); only left-over nodes are deleted.
void RebuildTypeTree(TNodeExt*& root, TTreeNodes* nodes, TTypeObjectData& type, int32_t currentLanguage,
                     const TTypeTreeTexts& texts);

// What a selected node names (null: nothing, kind 0).
_TypeSelection SelectionOfNode(const TNodeExt* node);

// The node that a selection names, or null.
TNodeExt* NodeOfSelection(TNodeExt* root, const _TypeSelection& selection);
