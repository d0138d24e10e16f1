#include "support/command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The project's libraries and their link dependencies, as `cmake --graphviz` of a fresh
// configuration of the tree draws them. Executables, imported and system libraries are left out.
struct LibraryGraph
{
    std::map<std::string, std::set<std::string>> dependencies;
};

// Graphviz shapes of static, shared, module, interface and object libraries.
bool isProjectLibrary(const std::string& label, const std::string& shape)
{
    static const std::set<std::string> libraryShapes = {"octagon", "doubleoctagon", "tripleoctagon", "pentagon",
                                                        "hexagon"};
    return libraryShapes.count(shape) && label.find("::") == std::string::npos;
}

LibraryGraph readGraph(const fs::path& dotFile)
{
    std::ifstream dot(dotFile);
    const std::regex node(R"re(^\s*"(node\d+)"\s*\[\s*label\s*=\s*"([^"]+)",\s*shape\s*=\s*(\w+))re");
    const std::regex edge(R"re(^\s*"(node\d+)"\s*->\s*"(node\d+)")re");
    std::map<std::string, std::string> labels;
    std::map<std::string, std::string> shapes;
    std::vector<std::pair<std::string, std::string>> edges;
    for (std::string line; std::getline(dot, line);) {
        std::smatch match;
        if (std::regex_search(line, match, node)) {
            labels[match[1]] = match[2];
            shapes[match[1]] = match[3];
        } else if (std::regex_search(line, match, edge))
            edges.emplace_back(match[1], match[2]);
    }
    LibraryGraph graph;
    for (const auto& [id, label] : labels) {
        if (isProjectLibrary(label, shapes[id]))
            graph.dependencies[label];
    }
    for (const auto& [from, to] : edges) {
        if (graph.dependencies.count(labels[from]) && graph.dependencies.count(labels[to]))
            graph.dependencies[labels[from]].insert(labels[to]);
    }
    return graph;
}

// A path of targets that leads back to its first one, or nothing.
std::vector<std::string> findCycle(const LibraryGraph& graph)
{
    enum class Mark { Unseen, OnPath, Done };
    std::map<std::string, Mark> marks;
    std::vector<std::string> path;
    std::vector<std::string> cycle;
    std::function<bool(const std::string&)> visit = [&](const std::string& target) {
        marks[target] = Mark::OnPath;
        path.push_back(target);
        for (const std::string& next : graph.dependencies.at(target)) {
            if (marks[next] == Mark::OnPath) {
                cycle.assign(std::find(path.begin(), path.end(), next), path.end());
                cycle.push_back(next);
                return true;
            }
            if (marks[next] == Mark::Unseen && visit(next))
                return true;
        }
        path.pop_back();
        marks[target] = Mark::Done;
        return false;
    };
    for (const auto& [target, dependencies] : graph.dependencies) {
        if (marks[target] == Mark::Unseen && visit(target))
            return cycle;
    }
    return {};
}

std::string joined(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : " -> ") + item;
    return text;
}

TEST(LibraryGraph, FindsACycleWhereThereIsOne)
{
    LibraryGraph graph;
    graph.dependencies = {{"a", {"b"}}, {"b", {"c"}}, {"c", {"a"}}, {"d", {"a"}}};
    EXPECT_EQ(joined(findCycle(graph)), "a -> b -> c -> a");
    graph.dependencies["c"].clear();
    EXPECT_TRUE(findCycle(graph).empty());
}

TEST(LibraryGraph, ArrowsOfTheProjectsLibrariesPointDownOnly)
{
    const fs::path build = fs::temp_directory_path() / ("library-graph-" + std::to_string(::getpid()));
    fs::remove_all(build);
    fs::create_directories(build);
    // One graph of the whole tree, without the per-target files.
    std::ofstream(build / "CMakeGraphVizOptions.cmake")
        << "set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)\nset(GRAPHVIZ_GENERATE_DEPENDERS FALSE)\n";
    const testsupport::CommandResult configured =
        testsupport::runCommand({VPP_CMAKE, "-S", VPP_SOURCE_DIR, "-B", build.string(), "-DVPP_BUILD_WEBCLIENT=OFF",
                                 "--graphviz=" + (build / "graph.dot").string()},
                                {}, nullptr, std::chrono::minutes(4));
    ASSERT_EQ(configured.exitStatus, 0) << configured.output << configured.errors;

    const LibraryGraph graph = readGraph(build / "graph.dot");
    fs::remove_all(build);
    // The graph must have been read at all: these are some of the libraries it must hold.
    for (const char* library : {"tessel_interfaces", "tessel_docs_store", "tessel_portal_client", "nxcrypto"})
        EXPECT_EQ(graph.dependencies.count(library), 1U) << library;
    EXPECT_EQ(joined(findCycle(graph)), "");
}

} // namespace
