// Survey files through utmconv: point names, codes, heights, header rows,
// blank and comment lines, other separators; rows without a point get *.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RunProcess.h"
#include "support/TempFolder.h"

namespace {

using utm::test::ProcessResult;
using utm::test::ReadWholeFile;
using utm::test::RunProcess;
using utm::test::TempFolder;

const std::string kUtmconv = UTMCONV_PATH;

TEST(UtmconvSurvey, RowsKeepTheirFieldsOrGetStars) {
    struct Case {
        std::vector<std::string> args;  // before DATAFILE OUTFILE
        const char* name;
        const char* data;
        const char* output;
        int status;
    };
    const Case cases[] = {
        // A header, a name, a code and a height: converted with the fields kept.
        {{"convert", "--cm", "84", "--to-xy"},
         "survey.csv",
         "ID,Code,Lat,Lon,Elev\r\nBM1,CP,27.7,85.3,1350.2\r\n",
         "ID\tCode\tLat\tLon\tElev\tEasting(X)\tNorthing(Y)\r\n"
         "BM1\tCP\t27.7\t85.3\t1350.2\t628198.193\t3065307.732\r\n",
         0},
        // Blank-separated with the name last, as cs2cs reads it.
        {{"convert", "--to-xy"},
         "bm.txt",
         "27.7 85.3 BM1\n",
         "Latitude\tLongitude\tEasting(X)\tNorthing(Y)\r\n27.7\t85.3\tBM1\t628198.193\t3065307."
         "732\r\n",
         0},
        // Blank lines, comments and a header carried through; a row without a point marked.
        {{"convert", "--to-xy"},
         "mixed.csv",
         "# job 7\r\nLat;Lon;Name\r\n\r\n27.7;85.3;A\r\n;85.3;B\r\n",
         "# job 7\r\nLat\tLon\tName\tEasting(X)\tNorthing(Y)\r\n\r\n"
         "27.7\t85.3\tA\t628198.193\t3065307.732\r\n\t85.3\tB\t*\t*\r\n",
         1},
        // The point's name in a transfer's CSV file travels with it.
        {{"transfer", "--kind", "4", "--output"},
         "n.csv",
         "628198.193,3065307.732,BM12\r\n",
         "628198.193,3065307.732,BM12,924247.034909757,3072040.78241198\r\n",
         0},
        // Columns by name, semicolons given, a quoted name holding the separator.
        {{"transform", "--from", "latlong-everest", "--to", "everest84", "--separator", "semicolon",
          "--columns", "Lat,Lon"},
         "q.csv",
         "Name;Lon;Lat\r\n\"Ridge; north\";85.3;27.7\r\n",
         "Name,Lon,Lat,Easting(X),Northing(Y)\r\n\"Ridge; north\",85.3,27.7,628198.19317284,"
         "3065307.73239086\r\n",
         0},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string data = folder.Write(c.name, c.data);
        const std::string out = folder.File("out.txt");
        std::vector<std::string> args = c.args;
        if (args.front() == "transfer") {
            args.push_back(out);
            args.push_back(data);
        } else {
            args.push_back(data);
            args.push_back(out);
        }
        const ProcessResult r = RunProcess(kUtmconv, args);
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
        EXPECT_EQ(ReadWholeFile(out), c.output) << c.name;
    }
}

TEST(UtmconvSurvey, OnErrorAndStrictActOnRowsWithoutAPoint) {
    TempFolder folder;
    const std::string data = folder.Write("p.csv", "27.7,85.3\r\nBM2,85.3\r\n28,86\r\n");
    const auto run = [&](std::vector<std::string> extra) {
        std::vector<std::string> args{"convert", "--to-xy"};
        args.insert(args.end(), extra.begin(), extra.end());
        args.push_back(data);
        args.push_back(folder.File("out.txt"));
        return RunProcess(kUtmconv, args);
    };
    const ProcessResult mark = run({});
    EXPECT_EQ(mark.status, 1);
    EXPECT_NE(mark.err.find("(line 2) holds no number in a coordinate column: written with * as "
                            "results."),
              std::string::npos)
        << mark.err;
    EXPECT_NE(ReadWholeFile(folder.File("out.txt")).find("\r\nBM2\t85.3\t*\t*\r\n"),
              std::string::npos);
    const ProcessResult skip = run({"--on-error", "skip"});
    EXPECT_EQ(skip.status, 1);
    EXPECT_EQ(ReadWholeFile(folder.File("out.txt")).find("BM2"), std::string::npos);
    for (const std::vector<std::string>& refuse :
         {std::vector<std::string>{"--on-error", "stop"}, std::vector<std::string>{"--strict"}}) {
        folder.Write("out.txt", "previous");
        const ProcessResult r = run(refuse);
        EXPECT_EQ(r.status, 2) << refuse.front();
        EXPECT_NE(r.err.find("Line 2 of the data file"), std::string::npos) << r.err;
        EXPECT_EQ(ReadWholeFile(folder.File("out.txt")), "previous");
    }
    // Bad table options are refused before anything is read.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--separator", "pipe"},
          std::vector<std::string>{"--columns", "Lat,Nowhere"},
          std::vector<std::string>{"--columns", "2,2"}}) {
        EXPECT_EQ(run(bad).status, 2) << bad.back();
    }
}

}  // namespace
