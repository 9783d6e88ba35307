#include "tools/catalogue/CatalogueOmm.h"

#include "elements/OmmWriter.h"

namespace elsetry {

namespace {

std::vector<TOmmRecord> RecordsOf(const std::vector<std::string>& Lines)
{
    std::vector<TOmmRecord> records;
    records.reserve(Lines.size() / 3);
    for (std::size_t set = 0; set + 2 < Lines.size(); set += 3)
        records.push_back(OmmRecordOf(Lines[set], Lines[set + 1], Lines[set + 2]));
    return records;
}

} // namespace

std::string CatalogueAsOmmCsv(const std::vector<std::string>& Lines)
{
    return OmmCsv(RecordsOf(Lines));
}

std::string CatalogueAsOmmJson(const std::vector<std::string>& Lines)
{
    std::string json = "[";
    for (const TOmmRecord& record : RecordsOf(Lines))
        json += (json.size() > 1 ? "," : "") + OmmJsonObject(record);
    return json + "]";
}

} // namespace elsetry
