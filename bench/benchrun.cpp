// Times whole processes: runs command A (and B) in turn, A B A B ..., after a warm-up, and
// prints the medians of wall time and peak memory and the median of the A/B ratios.
//
//   benchrun [--runs N] [--name TEXT] -- A ARGS... [--vs B ARGS...]
//
// Peak memory is the largest resident set of any process of the command's tree.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace
{

struct Sample {
    double seconds;
    double peakMiB;
    int exitCode;
};

// Runs argv in a fresh intermediate process, so that its children's accounting is this
// command's alone.
Sample RunOnce(const std::vector<char*>& argv)
{
    int fds[2];
    if (pipe(fds) != 0)
        std::exit(2);
    auto start = std::chrono::steady_clock::now();
    pid_t middle = fork();
    if (middle == 0) {
        close(fds[0]);
        pid_t child = fork();
        if (child == 0) {
            int null = open("/dev/null", O_RDWR);
            dup2(null, 0);
            dup2(null, 1);
            dup2(null, 2);
            execvp(argv[0], argv.data());
            _exit(127);
        }
        int status = 0;
        waitpid(child, &status, 0);
        rusage usage{};
        getrusage(RUSAGE_CHILDREN, &usage);
        long result[2] = {usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : 128};
        if (write(fds[1], result, sizeof result) != sizeof result)
            _exit(1);
        _exit(0);
    }
    close(fds[1]);
    long result[2] = {0, -1};
    if (read(fds[0], result, sizeof result) != sizeof result)
        result[1] = -1;
    close(fds[0]);
    waitpid(middle, nullptr, 0);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return {seconds, static_cast<double>(result[0]) / 1024.0, static_cast<int>(result[1])};
}

double Median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    int runs = 7;
    std::string name = "case";
    std::vector<char*> a, b;
    std::vector<char*>* current = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!current && !std::strcmp(argv[i], "--runs") && i + 1 < argc)
            runs = std::atoi(argv[++i]);
        else if (!current && !std::strcmp(argv[i], "--name") && i + 1 < argc)
            name = argv[++i];
        else if (!current && !std::strcmp(argv[i], "--"))
            current = &a;
        else if (current && !std::strcmp(argv[i], "--vs"))
            current = &b;
        else if (current)
            current->push_back(argv[i]);
    }
    if (a.empty() || runs < 1) {
        std::fprintf(stderr, "usage: benchrun [--runs N] [--name TEXT] -- A... [--vs B...]\n");
        return 2;
    }
    a.push_back(nullptr);
    if (!b.empty())
        b.push_back(nullptr);
    RunOnce(a);
    if (!b.empty())
        RunOnce(b);
    std::vector<double> aTime, aMem, bTime, bMem, ratio;
    int failures = 0;
    for (int r = 0; r < runs; ++r) {
        Sample sa = RunOnce(a);
        aTime.push_back(sa.seconds);
        aMem.push_back(sa.peakMiB);
        failures += sa.exitCode != 0;
        if (b.empty())
            continue;
        Sample sb = RunOnce(b);
        bTime.push_back(sb.seconds);
        bMem.push_back(sb.peakMiB);
        failures += sb.exitCode != 0;
        ratio.push_back(sa.seconds / sb.seconds);
    }
    // name, A wall, A peak, B wall, B peak, A/B, failed runs: tab-separated for the table
    std::printf("%s\t%.3f\t%.1f\t%s\t%s\t%s\t%d\n", name.c_str(), Median(aTime), Median(aMem),
                b.empty() ? "-" : std::to_string(Median(bTime)).substr(0, 5).c_str(),
                b.empty() ? "-" : std::to_string(Median(bMem)).substr(0, 5).c_str(),
                b.empty() ? "-" : std::to_string(Median(ratio)).substr(0, 5).c_str(), failures);
    return 0;
}
