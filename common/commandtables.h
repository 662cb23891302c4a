#pragma once
// The lookups every program's command table makes: a command's row by its
// id, and the commands of a table that have no handler. Header only, no Qt;
// `Info` is a table row with a member `id`.

#include <algorithm>
#include <span>
#include <vector>

namespace common {

// The row of `id` in `table`, or `none` when the table has no such row.
template <typename Info, typename Id>
const Info &commandRow(std::span<const Info> table, Id id, const Info &none)
{
    const auto found = std::find_if(table.begin(), table.end(), [id](const Info &info) { return info.id == id; });
    return found == table.end() ? none : *found;
}

// The ids of `table` that `handlers` (a map keyed by id) has no entry for,
// in table order.
template <typename Info, typename Handlers>
auto commandsWithoutHandler(std::span<const Info> table, const Handlers &handlers)
{
    std::vector<decltype(Info::id)> missing;
    for (const Info &info : table)
        if (!handlers.count(info.id))
            missing.push_back(info.id);
    return missing;
}

} // namespace common
