#pragma once

#include "core/clock.h"
#include "core/messageservice.h"
#include "db/query.h"

#include <functional>

namespace kelvo {

// "Provést odpisy": posts the depreciation rows of the previous calendar year.
// The rows to be posted are shown in the depreciation list first, then the user
// confirms, and one statement marks them with today's date at midnight.
class YearlyPosting {
public:
    // Shows the open data set of the rows to be posted (ordered by inventory
    // number) in the depreciation list report, "odpisy.fr3", and returns when
    // the user has closed it.
    using PrintPostingList = std::function<void(Query& rowsToPost)>;

    YearlyPosting(Connection& connection, MessageService& messages, const Clock& clock,
                  PrintPostingList printPostingList);

    // Returns true when the rows were posted.
    bool Provstodpis();

private:
    Connection& connection_;
    MessageService& messages_;
    const Clock& clock_;
    PrintPostingList printPostingList_;
};

} // namespace kelvo
