// Error manager slot, dispatch, deferred reporters and replacement values.
#include "vireo/config/Errors.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <string>

#include "tests/support/RecordingErrorManager.h"

namespace vireo {
namespace config {
namespace {

using testing::RaisedError;
using testing::RecordedError;
using testing::RecordingErrorManager;
using testing::ScopedErrorManager;
using testing::ThrowingErrorManager;

constexpr char kKey[] = "$$$/wren/test/Error/Sample=Sample ^1";
constexpr char kOtherKey[] = "$$$/wren/test/Error/Other=Other";

utility::UTF16String U16(char const* text) { return utility::AsciiToUTF16(text); }

void ExpectEmpty(ReplacementValue const& v) {
  EXPECT_EQ(kNone, v.kind);
  EXPECT_EQ(0u, v.unsignedValue);
  EXPECT_EQ(0, v.signedValue);
  EXPECT_EQ(0.0, v.doubleValue);
  EXPECT_TRUE(v.stringValue.empty());
}

// Raises kKey with distinct values in every slot, so that a swapped argument shows.
void RaiseSample(long code, bool deferrable) {
  ThrowError(kErrorLevelNonFatal, kKey, 104, code, deferrable, ReplacementValue(-3L),
             ReplacementValue(9UL), ReplacementValue(2.5), ReplacementValue(U16("text")));
}

void ExpectSampleValues(ReplacementValue const (&values)[4]) {
  EXPECT_EQ(kSigned, values[0].kind);
  EXPECT_EQ(-3, values[0].signedValue);
  EXPECT_EQ(kUnsigned, values[1].kind);
  EXPECT_EQ(9u, values[1].unsignedValue);
  EXPECT_EQ(kDouble, values[2].kind);
  EXPECT_EQ(2.5, values[2].doubleValue);
  EXPECT_EQ(kString, values[3].kind);
  EXPECT_EQ(U16("text"), values[3].stringValue);
}

// A report of RaiseSample(code, deferrable), argument for argument.
void ExpectSampleReport(RecordedError const& e, long code, bool deferrable) {
  EXPECT_EQ(kErrorLevelNonFatal, e.level);
  EXPECT_EQ(kKey, e.key);
  EXPECT_EQ(104u, e.component);
  EXPECT_EQ(code, e.code);
  EXPECT_EQ(deferrable, e.deferrable);
  ExpectSampleValues(e.values);
}

// Exposes the protected list operations.
class ListManager : public RecordingErrorManager {
 public:
  using ErrorManager::AddDeferredErrorReporter;
  using ErrorManager::RemoveDeferredErrorReporter;
};

// ---- the manager slot -------------------------------------------------------------------

TEST(ErrorManagerSlot, GetWithoutManagerThrowsLogicErrorWithItsText) {
  try {
    ErrorManager::Get();
    FAIL() << "Get() without a manager returned";
  } catch (std::logic_error const& e) {
    EXPECT_STREQ("wren::config::ErrorManager not initialized. Check wren/config/Errors.",
                 e.what());
  }
  // Every raise needs the manager.
  EXPECT_THROW(TestThrowError(false), std::logic_error);
  EXPECT_THROW(DeferredErrorReporter reporter, std::logic_error);
}

TEST(ErrorManagerSlot, SetInstallsReplacesAndUninstalls) {
  RecordingErrorManager first, second;
  ErrorManager::Set(&first);
  EXPECT_EQ(&first, ErrorManager::Get());
  ErrorManager::Set(&second);
  EXPECT_EQ(&second, ErrorManager::Get());
  ErrorManager::Set(nullptr);
  EXPECT_THROW(ErrorManager::Get(), std::logic_error);
}

// ---- dispatch -------------------------------------------------------------------------

TEST(ThrowError, PassesExactlyItsArgumentsToReportErrorOnce) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  RaiseSample(31, false);
  ASSERT_EQ(1u, manager.errors.size());
  ExpectSampleReport(manager.errors[0], 31, false);
  EXPECT_FALSE(manager.errors[0].deferredWhenReported);
}

TEST(ThrowError, ExceptionOfReportErrorPassesThrough) {
  ThrowingErrorManager manager;
  ScopedErrorManager scope(&manager);
  try {
    ThrowError(kErrorLevelFatal, kOtherKey, 105, 25, true, ReplacementValue(), ReplacementValue(),
               ReplacementValue(), ReplacementValue());
    FAIL() << "ThrowError returned";
  } catch (RaisedError const& e) {
    EXPECT_STREQ(kOtherKey, e.what());
    EXPECT_EQ(105u, e.component);
    EXPECT_EQ(25, e.code);
  }
  EXPECT_EQ(1u, manager.errors.size());
}

TEST(ThrowError, TestErrorsCarryTheirKeysNumbersAndValues) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  TestThrowError(false);
  TestThrowError(true);
  ASSERT_EQ(2u, manager.errors.size());

  RecordedError const& nonFatal = manager.errors[0];
  EXPECT_EQ(kErrorLevelNonFatal, nonFatal.level);
  EXPECT_EQ(
      "$$$/wren/config/Error/test/nonfataltest=This is a non-fatal exception. int:^1, uint:^2, "
      "double:^3",
      nonFatal.key);
  EXPECT_EQ(100u, nonFatal.component);
  EXPECT_EQ(20, nonFatal.code);
  EXPECT_TRUE(nonFatal.deferrable);
  EXPECT_EQ(kSigned, nonFatal.values[0].kind);
  EXPECT_EQ(-2147483648LL, nonFatal.values[0].signedValue);
  EXPECT_EQ(kUnsigned, nonFatal.values[1].kind);
  EXPECT_EQ(4294967295ULL, nonFatal.values[1].unsignedValue);
  EXPECT_EQ(kDouble, nonFatal.values[2].kind);
  EXPECT_DOUBLE_EQ(29.2334, nonFatal.values[2].doubleValue);
  ExpectEmpty(nonFatal.values[3]);

  RecordedError const& fatal = manager.errors[1];
  EXPECT_EQ(kErrorLevelFatal, fatal.level);
  EXPECT_EQ("$$$/wren/config/Error/test/fataltest=This is a fatal exception.", fatal.key);
  EXPECT_EQ(100u, fatal.component);
  EXPECT_EQ(21, fatal.code);
  EXPECT_TRUE(fatal.deferrable);
  for (auto const& v : fatal.values) ExpectEmpty(v);
}

TEST(ThrowError, ThrowingManagerStopsTheTestErrors) {
  ThrowingErrorManager manager;
  ScopedErrorManager scope(&manager);
  EXPECT_THROW(TestThrowError(true), RaisedError);
  EXPECT_THROW(TestThrowError(false), RaisedError);
  EXPECT_EQ(2u, manager.errors.size());
}

// ---- the manager's virtual operations -----------------------------------------------------

TEST(ErrorManagerOperations, TopLevelHandlerReturnsResultOrOne) {
  RecordingErrorManager manager;
  EXPECT_EQ(7, manager.ExecuteFunctionWithTopLevelExceptionHandler([] { return 7L; }));
  EXPECT_EQ(-4, manager.ExecuteFunctionWithTopLevelExceptionHandler([] { return -4L; }));
  EXPECT_EQ(1, manager.ExecuteFunctionWithTopLevelExceptionHandler(
                   []() -> long { throw std::runtime_error("task failed"); }));
  EXPECT_EQ(1, manager.ExecuteFunctionWithTopLevelExceptionHandler([]() -> long { throw 42; }));
  EXPECT_EQ(1, manager.ExecuteFunctionWithTopLevelExceptionHandler(boost::function0<long>()));
}

TEST(ErrorManagerOperations, BaseHooksDoNothing) {
  RecordingErrorManager manager;
  EXPECT_FALSE(manager.PurgeMemory(1 << 20));
  manager.IncrementLazilyDisplayErrors();
  manager.DecrementLazilyDisplayErrors();
  EXPECT_TRUE(manager.errors.empty());
}

TEST(ErrorManagerOperations, ReporterListIgnoresNullAndUnlistedEntries) {
  ListManager manager;
  ScopedErrorManager scope(&manager);
  manager.AddDeferredErrorReporter(nullptr);
  EXPECT_FALSE(manager.IsErrorReportingDeferred());

  DeferredErrorReporter reporter;
  DeferredErrorReporter unlisted(reporter);  // copies are not registered
  manager.RemoveDeferredErrorReporter(&unlisted);
  EXPECT_TRUE(manager.IsErrorReportingDeferred());
  manager.RemoveDeferredErrorReporter(&reporter);
  EXPECT_FALSE(manager.IsErrorReportingDeferred());
  manager.RemoveDeferredErrorReporter(&reporter);  // a second removal is harmless
  manager.AddDeferredErrorReporter(&reporter);     // so the destructor finds it again
  EXPECT_TRUE(manager.IsErrorReportingDeferred());
}

// ---- deferred reporters -----------------------------------------------------------------

TEST(DeferredErrorReporter, StartsEmptyAndRegisters) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  EXPECT_FALSE(manager.IsErrorReportingDeferred());
  {
    DeferredErrorReporter reporter;
    EXPECT_TRUE(manager.IsErrorReportingDeferred());
    EXPECT_TRUE(reporter.GetReportErrorWhenFinished());
    EXPECT_EQ(-1, static_cast<int>(reporter.GetLevel()));
    EXPECT_TRUE(reporter.GetKey().empty());
    EXPECT_EQ(0, reporter.GetErrorCount());
    for (int i = 0; i < 4; ++i) ExpectEmpty(reporter.GetValue(i));
    EXPECT_EQ(0, reporter.GetRefCount());
  }
  EXPECT_FALSE(manager.IsErrorReportingDeferred());
  EXPECT_TRUE(manager.errors.empty());  // nothing recorded, nothing reported
}

TEST(DeferredErrorReporter, ReportsTheLastOfSeveralErrorsOnceWhenDestroyed) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  {
    DeferredErrorReporter reporter;
    ThrowError(kErrorLevelFatal, kOtherKey, 100, 40, true, ReplacementValue(1), ReplacementValue(),
               ReplacementValue(), ReplacementValue());
    RaiseSample(41, true);
    EXPECT_EQ(2, reporter.GetErrorCount());
    EXPECT_EQ(kErrorLevelNonFatal, reporter.GetLevel());
    EXPECT_EQ(kKey, reporter.GetKey());
    EXPECT_EQ(104u, reporter.GetComponentID());
    EXPECT_EQ(41, reporter.GetErrorCode());
    // Each raise still reaches the manager at once, marked as deferred.
    ASSERT_EQ(2u, manager.errors.size());
    EXPECT_TRUE(manager.errors[0].deferredWhenReported);
    EXPECT_TRUE(manager.errors[1].deferredWhenReported);
  }
  ASSERT_EQ(3u, manager.errors.size());
  ExpectSampleReport(manager.errors[2], 41, true);
  // The final report is made while the reporter is still registered.
  EXPECT_TRUE(manager.errors[2].deferredWhenReported);
  EXPECT_FALSE(manager.IsErrorReportingDeferred());
}

TEST(DeferredErrorReporter, OutermostOfNestedReportersRecords) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  {
    DeferredErrorReporter outer;
    {
      DeferredErrorReporter inner;
      RaiseSample(50, true);
      EXPECT_EQ(1, outer.GetErrorCount());
      EXPECT_EQ(0, inner.GetErrorCount());
    }
    EXPECT_EQ(1u, manager.errors.size());  // the inner reporter reported nothing
    EXPECT_TRUE(manager.IsErrorReportingDeferred());
  }
  ASSERT_EQ(2u, manager.errors.size());
  ExpectSampleReport(manager.errors[1], 50, true);
}

TEST(DeferredErrorReporter, NonDeferrableErrorsAreReportedButNotRecorded) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  {
    DeferredErrorReporter reporter;
    RaiseSample(60, false);
    EXPECT_EQ(0, reporter.GetErrorCount());
    ASSERT_EQ(1u, manager.errors.size());
    EXPECT_FALSE(manager.errors[0].deferrable);
  }
  EXPECT_EQ(1u, manager.errors.size());
}

TEST(DeferredErrorReporter, WithoutReportFlagRecordsButReportsNothing) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  {
    DeferredErrorReporter quiet(false);
    RaiseSample(70, true);
    EXPECT_EQ(1, quiet.GetErrorCount());
    EXPECT_EQ(70, quiet.GetErrorCode());
  }
  {
    DeferredErrorReporter switchedOff;
    RaiseSample(71, true);
    switchedOff.SetReportErrorWhenFinished(false);
    EXPECT_FALSE(switchedOff.GetReportErrorWhenFinished());
  }
  EXPECT_EQ(2u, manager.errors.size());  // the two raises, no final reports
}

TEST(DeferredErrorReporter, CopyTakesEveryFieldButIsNotRegistered) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  auto original = manager.NewDeferredErrorReporter(true);
  RaiseSample(80, true);
  RaiseSample(81, true);
  {
    DeferredErrorReporter copy(*original);
    EXPECT_EQ(0, copy.GetRefCount());
    EXPECT_EQ(1, original->GetRefCount());
    EXPECT_TRUE(copy.GetReportErrorWhenFinished());
    EXPECT_EQ(kErrorLevelNonFatal, copy.GetLevel());
    EXPECT_EQ(kKey, copy.GetKey());
    EXPECT_EQ(104u, copy.GetComponentID());
    EXPECT_EQ(81, copy.GetErrorCode());
    EXPECT_EQ(2, copy.GetErrorCount());
    ReplacementValue const values[4] = {copy.GetValue(0), copy.GetValue(1), copy.GetValue(2),
                                        copy.GetValue(3)};
    ExpectSampleValues(values);

    // Only the registered original records further errors...
    RaiseSample(82, true);
    EXPECT_EQ(3, original->GetErrorCount());
    EXPECT_EQ(2, copy.GetErrorCount());
    // ...and once it is gone nothing is registered any more.
    original.reset();
    EXPECT_FALSE(manager.IsErrorReportingDeferred());
    ASSERT_EQ(4u, manager.errors.size());
    EXPECT_EQ(82, manager.errors[3].code);
  }
  // The copy reports its own record when it ends.
  ASSERT_EQ(5u, manager.errors.size());
  EXPECT_EQ(81, manager.errors[4].code);
  EXPECT_FALSE(manager.errors[4].deferredWhenReported);
}

TEST(DeferredErrorReporter, NewDeferredErrorReporterIsRegisteredWithOneReference) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  auto quiet = manager.NewDeferredErrorReporter(false);
  ASSERT_TRUE(quiet);
  EXPECT_EQ(1, quiet->GetRefCount());
  EXPECT_FALSE(quiet->GetReportErrorWhenFinished());
  EXPECT_TRUE(manager.IsErrorReportingDeferred());
  {
    auto shared = quiet;
    EXPECT_EQ(2, quiet->GetRefCount());
  }
  EXPECT_EQ(1, quiet->GetRefCount());
  RaiseSample(90, true);
  EXPECT_EQ(1, quiet->GetErrorCount());
  quiet.reset();  // the last reference ends it: unregistered, nothing reported
  EXPECT_FALSE(manager.IsErrorReportingDeferred());
  EXPECT_EQ(1u, manager.errors.size());

  auto loud = manager.NewDeferredErrorReporter(true);
  RaiseSample(91, true);
  loud.reset();
  ASSERT_EQ(3u, manager.errors.size());
  EXPECT_EQ(91, manager.errors[2].code);
  EXPECT_TRUE(manager.errors[2].deferrable);
}

TEST(DeferredErrorReporter, DestructorSwallowsAThrowingFinalReport) {
  ThrowingErrorManager manager;
  ScopedErrorManager scope(&manager);
  EXPECT_NO_THROW({
    DeferredErrorReporter reporter;
    EXPECT_THROW(RaiseSample(100, true), RaisedError);
    EXPECT_EQ(1, reporter.GetErrorCount());
  });
  // The final report was made (and threw), and the reporter still unregistered.
  ASSERT_EQ(2u, manager.errors.size());
  EXPECT_EQ(100, manager.errors[1].code);
  EXPECT_FALSE(manager.IsErrorReportingDeferred());
}

TEST(DeferredErrorReporter, DestructorWithoutManagerDoesNotThrow) {
  RecordingErrorManager manager;
  ScopedErrorManager scope(&manager);
  auto* reporter = new DeferredErrorReporter(true);
  RaiseSample(110, true);
  ErrorManager::Set(nullptr);
  EXPECT_NO_THROW(delete reporter);
  // Nobody was there to take the final report.
  EXPECT_EQ(1u, manager.errors.size());
}

TEST(DeferredErrorReporter, DestructorDuringUnwindingKeepsTheOriginalException) {
  ThrowingErrorManager manager;
  ScopedErrorManager scope(&manager);
  try {
    DeferredErrorReporter reporter;
    RaiseSample(120, true);  // throws; the reporter's final report throws again while unwinding
    FAIL() << "the raise returned";
  } catch (RaisedError const&) {
  }
  EXPECT_EQ(2u, manager.errors.size());
  EXPECT_FALSE(manager.IsErrorReportingDeferred());
}

// ---- replacement values -----------------------------------------------------------------

TEST(ReplacementValue, EachConstructorSetsItsKindAndOnlyItsField) {
  ExpectEmpty(ReplacementValue());

  struct SignedCase {
    ReplacementValue value;
    long long expected;
  } const signedCases[] = {
      {ReplacementValue(-1L), -1},
      {ReplacementValue(std::numeric_limits<long>::min()), std::numeric_limits<long>::min()},
      {ReplacementValue(std::numeric_limits<long long>::min()),
       std::numeric_limits<long long>::min()},
      {ReplacementValue(-7), -7},
      {ReplacementValue(std::numeric_limits<int>::min()), std::numeric_limits<int>::min()},
  };
  for (auto const& c : signedCases) {
    EXPECT_EQ(kSigned, c.value.kind);
    EXPECT_EQ(c.expected, c.value.signedValue);
    EXPECT_EQ(0u, c.value.unsignedValue);
    EXPECT_EQ(0.0, c.value.doubleValue);
    EXPECT_TRUE(c.value.stringValue.empty());
  }

  struct UnsignedCase {
    ReplacementValue value;
    unsigned long long expected;
  } const unsignedCases[] = {
      {ReplacementValue(4294967295UL), 4294967295ULL},
      {ReplacementValue(std::numeric_limits<unsigned long>::max()),
       std::numeric_limits<unsigned long>::max()},
      {ReplacementValue(std::numeric_limits<unsigned long long>::max()),
       std::numeric_limits<unsigned long long>::max()},
      {ReplacementValue(4000000000u), 4000000000ULL},  // above INT_MAX: must not turn signed
  };
  for (auto const& c : unsignedCases) {
    EXPECT_EQ(kUnsigned, c.value.kind);
    EXPECT_EQ(c.expected, c.value.unsignedValue);
    EXPECT_EQ(0, c.value.signedValue);
    EXPECT_EQ(0.0, c.value.doubleValue);
    EXPECT_TRUE(c.value.stringValue.empty());
  }

  ReplacementValue const d(-0.125);
  EXPECT_EQ(kDouble, d.kind);
  EXPECT_EQ(-0.125, d.doubleValue);
  EXPECT_EQ(0, d.signedValue);
  EXPECT_EQ(0u, d.unsignedValue);
  EXPECT_TRUE(d.stringValue.empty());

  ReplacementValue const s(U16("name"));
  EXPECT_EQ(kString, s.kind);
  EXPECT_EQ(U16("name"), s.stringValue);
  EXPECT_EQ(0, s.signedValue);
  EXPECT_EQ(0u, s.unsignedValue);
  EXPECT_EQ(0.0, s.doubleValue);
}

TEST(ReplacementValue, InitZeroesNumbersButKeepsKindAndString) {
  ReplacementValue number(-12L);
  number.Init();
  EXPECT_EQ(kSigned, number.kind);
  EXPECT_EQ(0, number.signedValue);

  ReplacementValue mixed(U16("kept"));
  mixed.unsignedValue = 5;
  mixed.doubleValue = 1.5;
  mixed.Init();
  EXPECT_EQ(kString, mixed.kind);
  EXPECT_EQ(U16("kept"), mixed.stringValue);
  EXPECT_EQ(0u, mixed.unsignedValue);
  EXPECT_EQ(0.0, mixed.doubleValue);
}

TEST(ReplacementValue, CopyAndAssignmentTakeEveryField) {
  ReplacementValue source(U16("abc"));
  source.signedValue = -1;
  source.unsignedValue = 2;
  source.doubleValue = 3.5;

  ReplacementValue const copy(source);
  EXPECT_EQ(kString, copy.kind);
  EXPECT_EQ(U16("abc"), copy.stringValue);
  EXPECT_EQ(-1, copy.signedValue);
  EXPECT_EQ(2u, copy.unsignedValue);
  EXPECT_EQ(3.5, copy.doubleValue);

  ReplacementValue assigned(U16("old text"));
  assigned = ReplacementValue(8UL);  // replaces the string too
  EXPECT_EQ(kUnsigned, assigned.kind);
  EXPECT_EQ(8u, assigned.unsignedValue);
  EXPECT_TRUE(assigned.stringValue.empty());
  assigned = source;
  EXPECT_EQ(U16("abc"), assigned.stringValue);
  EXPECT_EQ(3.5, assigned.doubleValue);

  // The copy owns its text.
  source.stringValue = U16("changed");
  EXPECT_EQ(U16("abc"), copy.stringValue);
  EXPECT_EQ(U16("abc"), assigned.stringValue);
}

}  // namespace
}  // namespace config
}  // namespace vireo
