// Turns the published astronomy tables in data/astro (CSV) into a C++ source
// that defines the arrays declared in src/astro/astro_tables.h.
// Numbers are copied as text, so no digit is lost to a float round trip.
//
// Usage: gen_astro_tables <data dir> <output .cpp>
#include <array>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Row = std::vector<std::string>;

struct Table {
    std::string name;
    std::vector<Row> rows;
};

std::vector<std::string> splitComma(const std::string &line)
{
    std::vector<std::string> cells;
    std::string cell;
    std::istringstream in(line);
    while (std::getline(in, cell, ','))
        cells.push_back(cell);
    if (!line.empty() && line.back() == ',')
        cells.emplace_back();
    return cells;
}

// Reads a CSV file whose header must be exactly `header`; every row must have as
// many cells as the header and no cell may be empty.
Table readCsv(const std::string &dir, const std::string &file, const std::string &header)
{
    const std::string path = dir + "/" + file;
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot open " + path);
    Table t{file, {}};
    std::string line;
    if (!std::getline(in, line) || line != header)
        throw std::runtime_error(path + ": unexpected header, want \"" + header + "\"");
    const std::size_t columns = splitComma(header).size();
    int lineNo = 1;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty())
            continue;
        Row r = splitComma(line);
        if (r.size() != columns)
            throw std::runtime_error(path + ":" + std::to_string(lineNo) + ": wrong number of cells");
        for (const std::string &c : r)
            if (c.empty())
                throw std::runtime_error(path + ":" + std::to_string(lineNo) + ": empty cell");
        t.rows.push_back(std::move(r));
    }
    return t;
}

// A number cell as a C++ literal: checked to parse completely, copied verbatim.
std::string number(const std::string &cell, const char *suffix = "")
{
    char *end = nullptr;
    std::strtold(cell.c_str(), &end);
    if (end == cell.c_str() || *end != '\0')
        throw std::runtime_error("not a number: \"" + cell + "\"");
    std::string lit = cell;
    // A bare integer such as "0" stays valid with an L suffix; keep it a floating literal.
    if (lit.find_first_of(".eE") == std::string::npos && *suffix != '\0')
        lit += ".0";
    return lit + suffix;
}

std::string integer(const std::string &cell)
{
    char *end = nullptr;
    std::strtol(cell.c_str(), &end, 10);
    if (end == cell.c_str() || *end != '\0')
        throw std::runtime_error("not an integer: \"" + cell + "\"");
    return cell;
}

void writeVsop(std::ostream &out, const Table &t)
{
    // (coordinate, power) -> rows in file order; the index column must count 1, 2, ...
    std::map<std::pair<char, int>, std::vector<const Row *>> series;
    for (const Row &r : t.rows) {
        if (r[0].size() != 1 || std::string("LBR").find(r[0][0]) == std::string::npos)
            throw std::runtime_error("vsop: bad coordinate " + r[0]);
        const int power = std::stoi(integer(r[1]));
        if (power < 0 || power > 5)
            throw std::runtime_error("vsop: bad power " + r[1]);
        auto &list = series[{r[0][0], power}];
        if (std::stoi(integer(r[2])) != static_cast<int>(list.size()) + 1)
            throw std::runtime_error("vsop: terms out of order at " + r[0] + r[1] + " #" + r[2]);
        list.push_back(&r);
    }
    const std::array<std::pair<char, const char *>, 3> coords{
        {{'L', "kEarthLongitude"}, {'B', "kEarthLatitude"}, {'R', "kEarthRadius"}}};
    for (const auto &[c, arrayName] : coords) {
        for (int p = 0; p < 6; ++p) {
            auto it = series.find({c, p});
            if (it == series.end())
                continue;
            const std::string base = std::string("earth") + c + std::to_string(p);
            out << "const VsopTerm " << base << "[] = {\n";
            for (const Row *r : it->second)
                out << "    {" << number((*r)[3], "L") << ", " << number((*r)[4], "L") << ", "
                    << number((*r)[5], "L") << "},\n";
            out << "};\n";
            const char *cols[3] = {"A", "B", "C"};
            for (int k = 0; k < 3; ++k) {
                out << "const double " << base << cols[k] << "[] = {";
                int n = 0;
                for (const Row *r : it->second)
                    out << (n++ % 4 == 0 ? "\n    " : " ") << number((*r)[3 + k]) << ",";
                out << "\n};\n";
            }
        }
        out << "} // namespace\n\nconst VsopSeries " << arrayName << "[kVsopPowers] = {\n";
        for (int p = 0; p < 6; ++p) {
            auto it = series.find({c, p});
            if (it == series.end()) {
                out << "    {nullptr, {nullptr, nullptr, nullptr}, 0},\n";
                continue;
            }
            const std::string base = std::string("earth") + c + std::to_string(p);
            out << "    {" << base << ", {" << base << "A, " << base << "B, " << base << "C}, "
                << it->second.size() << "},\n";
        }
        out << "};\n\nnamespace {\n";
    }
}

void expectRows(const Table &t, std::size_t n)
{
    if (t.rows.size() != n)
        throw std::runtime_error(t.name + ": expected " + std::to_string(n) + " rows, found " +
                                 std::to_string(t.rows.size()));
}

void writeLunar(std::ostream &out, const Table &lr, const Table &b)
{
    expectRows(lr, 60);
    expectRows(b, 60);
    out << "const LunarLRRow kLunarLR[kLunarRows] = {\n";
    for (const Row &r : lr.rows)
        out << "    {" << integer(r[0]) << ", " << integer(r[1]) << ", " << integer(r[2]) << ", "
            << integer(r[3]) << ", " << integer(r[4]) << ", " << integer(r[5]) << "},\n";
    out << "};\n\nconst LunarBRow kLunarB[kLunarRows] = {\n";
    for (const Row &r : b.rows)
        out << "    {" << integer(r[0]) << ", " << integer(r[1]) << ", " << integer(r[2]) << ", "
            << integer(r[3]) << ", " << integer(r[4]) << "},\n";
    out << "};\n\n";
}

void writeNutation(std::ostream &out, const Table &t)
{
    expectRows(t, 31);
    out << "const NutationRow kNutation[kNutationRows] = {\n";
    for (const Row &r : t.rows) {
        out << "    {";
        for (std::size_t i = 0; i < r.size(); ++i)
            out << (i ? ", " : "") << integer(r[i]);
        out << "},\n";
    }
    out << "};\n\n";
}

void writePhases(std::ostream &out, const Table &corr, const Table &w, const Table &planetary)
{
    expectRows(corr, 75);
    const std::array<std::pair<const char *, const char *>, 3> lists{
        {{"new", "kNewMoonTerms"}, {"full", "kFullMoonTerms"}, {"quarter", "kQuarterTerms"}}};
    for (const auto &[phase, arrayName] : lists) {
        out << "const PhaseTerm " << arrayName << "[kPhaseTerms] = {\n";
        int n = 0;
        for (const Row &r : corr.rows) {
            if (r[0] != phase)
                continue;
            if (std::stoi(integer(r[1])) != ++n)
                throw std::runtime_error("phase corrections out of order in " + std::string(phase));
            out << "    {" << number(r[2], "L") << ", " << integer(r[3]) << ", " << integer(r[4])
                << ", " << integer(r[5]) << ", " << integer(r[6]) << ", " << integer(r[7]) << "},\n";
        }
        if (n != 25)
            throw std::runtime_error(std::string("phase corrections: ") + phase + " has " +
                                     std::to_string(n) + " terms");
        out << "};\n\n";
    }
    expectRows(w, 6);
    out << "const PhaseWTerm kQuarterW[kPhaseWTerms] = {\n";
    for (const Row &r : w.rows) {
        if (r[3] != "const" && r[3] != "cos")
            throw std::runtime_error("moon_phase_w: bad function " + r[3]);
        out << "    {" << number(r[1], "L") << ", " << integer(r[2]) << ", "
            << (r[3] == "const" ? "true" : "false") << ", " << integer(r[4]) << ", " << integer(r[5])
            << ", " << integer(r[6]) << "},\n";
    }
    out << "};\n\n";
    expectRows(planetary, 14);
    out << "const PlanetaryTerm kPlanetary[kPlanetaryTerms] = {\n";
    for (const Row &r : planetary.rows)
        out << "    {" << number(r[1], "L") << ", " << number(r[2], "L") << ", " << number(r[3], "L")
            << ", " << number(r[4], "L") << "},\n";
    out << "};\n";
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 3) {
        std::cerr << "usage: gen_astro_tables <data dir> <output.cpp>\n";
        return 2;
    }
    const std::string dir = argv[1];
    try {
        const Table vsop = readCsv(dir, "vsop87d_earth.csv", "coord,power,index,A,B,C");
        const Table lr = readCsv(dir, "moon_lr.csv", "D,M,Mp,F,sigma_l,sigma_r");
        const Table b = readCsv(dir, "moon_b.csv", "D,M,Mp,F,sigma_b");
        const Table nut = readCsv(dir, "nutation_iau1980_31.csv", "D,M,Mp,F,Om,A,B,C,Dcoef");
        const Table corr =
            readCsv(dir, "moon_phase_corrections.csv", "phase,index,coef_days,E_power,M,Mp,F,Om");
        const Table w = readCsv(dir, "moon_phase_w.csv", "index,coef_days,E_power,func,M,Mp,F");
        const Table planetary =
            readCsv(dir, "moon_phase_planetary.csv", "index,coef_days,c0_deg,ck_deg,cT2_deg");

        std::ostringstream out;
        out << "// Generated by tools/astro_tables from data/astro; do not edit.\n"
               "#include \"astro_tables.h\"\n\nnamespace astro_tables {\n\nnamespace {\n";
        writeVsop(out, vsop);
        out << "} // namespace\n\n";
        writeLunar(out, lr, b);
        writeNutation(out, nut);
        writePhases(out, corr, w, planetary);
        out << "\n} // namespace astro_tables\n";

        // Written only when changed, so a rerun does not force a rebuild.
        const std::string text = out.str();
        std::ifstream old(argv[2]);
        std::stringstream oldText;
        oldText << old.rdbuf();
        if (!old || oldText.str() != text) {
            std::ofstream file(argv[2], std::ios::trunc);
            file << text;
            if (!file)
                throw std::runtime_error(std::string("cannot write ") + argv[2]);
        }
    } catch (const std::exception &e) {
        std::cerr << "gen_astro_tables: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
