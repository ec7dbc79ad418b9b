// Status codes of the analysis library.
//
// 0 is success, a negative code an error (outputs not valid), a positive code
// a warning (the call completed and its outputs are valid). The texts are in
// messages.cpp and are returned by ZMXFunc240.
#pragma once

#include <cstdint>

namespace qm {

using Status = std::int32_t;

enum : Status {
  kSuccess = 0,

  // Warnings.
  kWarnRankDeficient = 20001,
  kWarnNoSamples = 20002,
  kWarnSingular = 20003,
  kWarnSizeMismatch = 20004,
  kWarnNoReorder = 20005,
  kWarnInaccurate = 20006,
  kWarnInputSizes = 20010,
  kWarnBadStdDev = 20011,
  kWarnEmptyPolynomial = 20012,
  kWarnNonFiniteMatrix = 20030,
  kWarnOrderExceeded = 20031,

  // Errors.
  kOutOfMemory = -20001,
  kSizesDiffer = -20002,
  kCountNotPositive = -20003,
  kCountNegative = -20004,
  kCountBelowOne = -20005,
  kCountBelowTwo = -20006,
  kCountBelowThree = -20007,
  kWrongDataCount = -20008,
  kNotPowerOfTwo = -20009,
  kTransformTooLarge = -20010,
  kBadDutyCycle = -20011,
  kBadCycles = -20012,
  kBadWidth = -20013,
  kBadDelayWidth = -20014,
  kDtNegative = -20015,
  kDtNotPositive = -20016,
  kBadIndex = -20017,
  kBadIndexLength = -20018,
  kUpperBelowLower = -20019,
  kBadCutoff = -20020,
  kOrderNotPositive = -20021,
  kBadDecimation = -20022,
  kBadBandEdges = -20023,
  kRippleNotPositive = -20024,
  kAttenuationNotPositive = -20025,
  kWidthNotPositive = -20026,
  kFinalNotPositive = -20027,
  kAttenuationBelowRipple = -20028,
  kBadStepSize = -20029,
  kBadLeakage = -20030,
  kFilterNotDesignable = -20031,
  kBadRank = -20032,
  kCoefficientsNotOdd = -20033,
  kCoefficientsNotEven = -20034,
  kStdDevNotPositive = -20035,
  kBadYValues = -20036,
  kTooFewPointsForOrder = -20037,
  kIntervalsNotPositive = -20038,
  kInnerDimensionMismatch = -20039,
  kNotSquare = -20040,
  kSingularMatrix = -20041,
  kLevelsOutOfRange = -20042,
  kFactorLevelOutOfRange = -20043,
  kZeroObservations = -20044,
  kBadTotalPoints = -20045,
  kOverflow = -20046,
  kUnbalanced = -20047,
  kRandomEffectNotAllowed = -20048,
  kXNotDistinct = -20049,
  kInterpolationPole = -20050,
  kFirstColumnNotOne = -20051,
  kBadDegreesOfFreedom = -20052,
  kProbabilityNotInUnit = -20053,
  kProbabilityNotInHalfOpen = -20054,
  kTooFewCategories = -20055,
  kNegativeContingency = -20056,
  kBadBetaParameter = -20057,
  kBadDimensions = -20058,
  kNegativeNumber = -20059,
  kDivideByZero = -20060,
  kBadSelection = -20061,
  kIterationsExceeded = -20062,
  kBadPolynomial = -20063,
  kStateNotInitialised = -20064,
  kAllZero = -20065,
  kBadIirRecord = -20066,
  kZeroFundamental = -20067,
  kNotFinite = -20068,
  kCountBelowFour = -20069,
  kMatrixSizesDiffer = -20070,
  kNotPositiveDefinite = -20071,
  kNoMatrixLogarithm = -20072,
  kEigenvaluesTooClose = -20073,
  kReorderChangedComplex = -20074,
  kFilterBufferOverflow = -20075,
  kResampleBehind = -20076,
  kTimesNotAscending = -20077,
  kNotSupported = -20078,
  kTopNotAboveBase = -20101,
  kBadShifts = -20102,
  kOrderNegative = -20103,
  kHasNaN = -20104,
  kPolynomialAllZero = -20111,
  kStartIsRoot = -20112,
  kEndIsRoot = -20113,
  kStartAfterEnd = -20114,
  kFftSizeNotPositive = -20115,
  kNoFeasibleSolution = -20116,
  kLossOfSignificance = -20117,
  kNotPositiveOrZero = -20140,
  kZeroNumber = -20141,
  kAlgorithmFailure = -20999,
  kNotEnoughCrosspoints = -20308,
  kZeroAmplitude = -20309,
  kNotEnoughEdges = -20310,
  kNoSpaceLeft = -20311,
  kNoWaveform = -20312,
  kBadReferenceOrder = -20313,
  kBadReferenceUnit = -20314,
  kWaveformDtNotPositive = -20315,
  kBadLevelMethod = -20316,
  kHistogramSizeNotPositive = -20317,
  kParameterUndefined = -20318,
  kPeriodTooShort = -20319,
  kResultNotAvailable = -20320,
  kInfiniteSlope = -20326,
  kException = -20327,
  kWrongSection = -20328,
  kNullCursor = -20329,
  kNullResult = -20330,
  kNullReferenceLevels = -20331,
  kBadThreadCount = -20332,
};

// Library-wide conventions chosen for this implementation:
//
// A null pointer where an array or result is required. "The input arrays do
// not contain the correct number of data values for this function." -- a null
// array holds no values. Checked at the export boundary, after the size
// narrowing and before any other check.
inline constexpr Status kNullPointer = kWrongDataCount;

// An export that needs BLAS/LAPACK while no BLAS/LAPACK module could be bound
// at load time.
inline constexpr Status kNoLinearAlgebra = kNotSupported;

}  // namespace qm
