// No allocation during a solve or a sweep: the global allocation functions are replaced by ones
// that count, and the count is read around the code under test.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

#include "engine/calculate.h"
#include "engine/synthesis.h"
#include "tests/support/dense_reference.h"
#include "tests/support/designed_circuit.h"

namespace {

std::atomic<long> allocations{0};

void* Allocate(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}

void* AllocateAligned(std::size_t size, std::align_val_t align) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    const std::size_t a = static_cast<std::size_t>(align);
    if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a)) return p;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t align) {
    return AllocateAligned(size, align);
}
void* operator new[](std::size_t size, std::align_val_t align) {
    return AllocateAligned(size, align);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept {
    std::free(p);
}

namespace feldan {
namespace {

long AllocationsNow() {
    return allocations.load(std::memory_order_relaxed);
}

TEST(CountingAllocator, CountsWhatItShould) {
    // The counter itself must work, or the tests below prove nothing.
    const long before = AllocationsNow();
    auto p = std::make_unique<int>(5);
    auto q = std::make_unique<CircuitAnalysis>();  // over-aligned: the lanes
    EXPECT_EQ(AllocationsNow() - before, 2);
}

TEST(NoAllocation, SolvesAndSearchSteps) {
    for (int filterType = 1; filterType <= 7; ++filterType) {
        SCOPED_TRACE(filterType);
        const auto designer = testsupport::Designed(filterType, 1);
        ASSERT_TRUE(designer->ok);
        CircuitAnalysis& c = *designer->circuit;
        const double fo = designer->FoHz();
        std::vector<double> omegas(1001);
        for (std::size_t i = 0; i < omegas.size(); ++i)
            omegas[i] = TwoPi * (fo - 5000 + 10.0 * i);
        std::vector<TwoPortPoint> points(omegas.size());

        const long before = AllocationsNow();
        int solved = 0;
        // Single solves, measures, look-ahead sweeps upward and downward, the search steps of
        // the engine, and two-port points.
        for (int i = 0; i < 200; ++i)
            solved += c.solver.SolveNodal(c.netlist, TwoPi * (fo + i));
        for (int i = 0; i < 200; ++i) {
            solved += MeasureOutput(c.netlist, c.solver, c.measure).ok;
        }
        for (int i = 0; i < 200; ++i)
            solved += c.Analyse(TwoPi * (fo - i)).SolveOk;
        double hz = fo;
        for (int i = 0; i < 3000; ++i) {
            c.AnalyseAhead(hz, 1, TwoPi);
            solved += c.Analyse(TwoPi * hz).SolveOk;
            hz = hz + 1;
        }
        double responseDb = 0;
        for (int i = 0; i < 3000; ++i) {
            hz = hz - 1;
            solved += AnalyseAt(c, hz, -1, responseDb);
        }
        // Two-port points one at a time and a two-port sweep.
        for (int i = 0; i < 200; ++i)
            solved += c.AnalyseTwoPort(TwoPi * (fo + i)).ok;
        c.SweepTwoPort(omegas, points);
        for (const TwoPortPoint& p : points)
            solved += p.ok;
        const long during = AllocationsNow() - before;
        EXPECT_EQ(during, 0);
        EXPECT_GT(solved, 7700);
    }
}

// A whole Calculate allocates its working storage, the curve and its texts once, never per
// frequency step: a command of thirty thousand steps allocates exactly as often as one of five
// thousand.
TEST(NoAllocation, CalculateAllocatesTheSameWhateverTheNumberOfSteps) {
    for (int filterType : {2, 4, 7}) {
        SCOPED_TRACE(filterType);
        DesignFields design;
        design.filterType = filterType;
        long counts[2];
        int points[2];
        int i = 0;
        for (const char* level : {"-3", "-60"}) {
            design.texts.Level = level;
            const long before = AllocationsNow();
            const CalculationResult result = Calculate(design, '.');
            counts[i] = AllocationsNow() - before;
            EXPECT_EQ(result.outcome, Outcome::Done);
            const StepCounts steps = result.steps;
            points[i] = steps.PeakSteps + steps.EdgeSteps + steps.SweepSteps;
            ++i;
        }
        EXPECT_GT(points[1], points[0] + 1000);
        EXPECT_EQ(counts[0], counts[1]);
    }
}

}  // namespace
}  // namespace feldan
