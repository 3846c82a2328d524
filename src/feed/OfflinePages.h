#pragma once

#include "QuoteSource.h"

#include <optional>

class SimulatedMarket;

// The feed's stand-ins for the outside sources of the browser panel, so that no button of the
// panel leads to an error page offline. All are built from the feed's instruments; what the
// simulated market cannot know (headlines, the order book) is made up and says so.
//
//   /news?s=IBM&source=<outside address>         simulated headlines, the same all day
//   /research?s=IBM&source=…                     the instrument's figures; no s: all of them
//   /ipo?source=…                                the simulated market's listings
//   /screener?min=10&max=100&exch=NYSE&sort=pe   the stocks that pass, sorted
//   /ds/tools/bookviewer/htmlbook.jsp?STOCK=IBM  a simulated order book
//
// "source" is the outside address the user chose; the page offers it as a link. A symbol that
// is not one gets 400, one the market does not trade 404.
namespace OfflinePages {

std::optional<FeedReply> answer(const FeedRequest &request, const SimulatedMarket *market);

} // namespace OfflinePages
