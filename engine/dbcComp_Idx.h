#pragma once

#include "engine/dbcCompColumn.h"

namespace dbc {

// A user index (one that backs no constraint). An expression index keeps its expression in Body.
class TIdxData : public TDbObj {
public:
    explicit TIdxData(TCustomObjs* objs);
    std::string_view ClassName() const override { return "TIdxData"; }

    bool Unique = false;
    bool Desc = false;
    std::string TblName;
    // Column names in segment order; an attached column with IndexSortType idxDesc sorts
    // descending.
    ObjList<TFldData> Flds;
    bool Active = true;
};

} // namespace dbc
