// Status codes of the analysis library.
//
// 0 is success, a negative code an error (outputs not valid), a positive code
// a warning (the call completed and its outputs are valid). The texts are in
// messages.cpp and are returned by ZMXFunc240.
#pragma once

#include <cstdint>

namespace qm {

using Status = std::int32_t;

inline constexpr Status kSuccess = 0;

// Warnings.
inline constexpr Status kWarnRankDeficient = 20001;
inline constexpr Status kWarnNoSamples = 20002;
inline constexpr Status kWarnSingular = 20003;
inline constexpr Status kWarnSizeMismatch = 20004;
inline constexpr Status kWarnNoReorder = 20005;
inline constexpr Status kWarnInaccurate = 20006;
inline constexpr Status kWarnInputSizes = 20010;
inline constexpr Status kWarnBadStdDev = 20011;
inline constexpr Status kWarnEmptyPolynomial = 20012;
inline constexpr Status kWarnNonFiniteMatrix = 20030;
inline constexpr Status kWarnOrderExceeded = 20031;

// Errors.
inline constexpr Status kOutOfMemory = -20001;
inline constexpr Status kSizesDiffer = -20002;
inline constexpr Status kCountNotPositive = -20003;
inline constexpr Status kCountNegative = -20004;
inline constexpr Status kCountBelowOne = -20005;
inline constexpr Status kCountBelowTwo = -20006;
inline constexpr Status kCountBelowThree = -20007;
inline constexpr Status kWrongDataCount = -20008;
inline constexpr Status kNotPowerOfTwo = -20009;
inline constexpr Status kTransformTooLarge = -20010;
inline constexpr Status kBadDutyCycle = -20011;
inline constexpr Status kBadCycles = -20012;
inline constexpr Status kBadWidth = -20013;
inline constexpr Status kBadDelayWidth = -20014;
inline constexpr Status kDtNegative = -20015;
inline constexpr Status kDtNotPositive = -20016;
inline constexpr Status kBadIndex = -20017;
inline constexpr Status kBadIndexLength = -20018;
inline constexpr Status kUpperBelowLower = -20019;
inline constexpr Status kBadCutoff = -20020;
inline constexpr Status kOrderNotPositive = -20021;
inline constexpr Status kBadDecimation = -20022;
inline constexpr Status kBadBandEdges = -20023;
inline constexpr Status kRippleNotPositive = -20024;
inline constexpr Status kAttenuationNotPositive = -20025;
inline constexpr Status kWidthNotPositive = -20026;
inline constexpr Status kFinalNotPositive = -20027;
inline constexpr Status kAttenuationBelowRipple = -20028;
inline constexpr Status kBadStepSize = -20029;
inline constexpr Status kBadLeakage = -20030;
inline constexpr Status kFilterNotDesignable = -20031;
inline constexpr Status kBadRank = -20032;
inline constexpr Status kCoefficientsNotOdd = -20033;
inline constexpr Status kCoefficientsNotEven = -20034;
inline constexpr Status kStdDevNotPositive = -20035;
inline constexpr Status kBadYValues = -20036;
inline constexpr Status kTooFewPointsForOrder = -20037;
inline constexpr Status kIntervalsNotPositive = -20038;
inline constexpr Status kInnerDimensionMismatch = -20039;
inline constexpr Status kNotSquare = -20040;
inline constexpr Status kSingularMatrix = -20041;
inline constexpr Status kLevelsOutOfRange = -20042;
inline constexpr Status kFactorLevelOutOfRange = -20043;
inline constexpr Status kZeroObservations = -20044;
inline constexpr Status kBadTotalPoints = -20045;
inline constexpr Status kOverflow = -20046;
inline constexpr Status kUnbalanced = -20047;
inline constexpr Status kRandomEffectNotAllowed = -20048;
inline constexpr Status kXNotDistinct = -20049;
inline constexpr Status kInterpolationPole = -20050;
inline constexpr Status kFirstColumnNotOne = -20051;
inline constexpr Status kBadDegreesOfFreedom = -20052;
inline constexpr Status kProbabilityNotInUnit = -20053;
inline constexpr Status kProbabilityNotInHalfOpen = -20054;
inline constexpr Status kTooFewCategories = -20055;
inline constexpr Status kNegativeContingency = -20056;
inline constexpr Status kBadBetaParameter = -20057;
inline constexpr Status kBadDimensions = -20058;
inline constexpr Status kNegativeNumber = -20059;
inline constexpr Status kDivideByZero = -20060;
inline constexpr Status kBadSelection = -20061;
inline constexpr Status kIterationsExceeded = -20062;
inline constexpr Status kBadPolynomial = -20063;
inline constexpr Status kStateNotInitialised = -20064;
inline constexpr Status kAllZero = -20065;
inline constexpr Status kBadIirRecord = -20066;
inline constexpr Status kZeroFundamental = -20067;
inline constexpr Status kNotFinite = -20068;
inline constexpr Status kCountBelowFour = -20069;
inline constexpr Status kMatrixSizesDiffer = -20070;
inline constexpr Status kNotPositiveDefinite = -20071;
inline constexpr Status kNoMatrixLogarithm = -20072;
inline constexpr Status kEigenvaluesTooClose = -20073;
inline constexpr Status kReorderChangedComplex = -20074;
inline constexpr Status kFilterBufferOverflow = -20075;
inline constexpr Status kResampleBehind = -20076;
inline constexpr Status kTimesNotAscending = -20077;
inline constexpr Status kNotSupported = -20078;
inline constexpr Status kTopNotAboveBase = -20101;
inline constexpr Status kBadShifts = -20102;
inline constexpr Status kOrderNegative = -20103;
inline constexpr Status kHasNaN = -20104;
inline constexpr Status kPolynomialAllZero = -20111;
inline constexpr Status kStartIsRoot = -20112;
inline constexpr Status kEndIsRoot = -20113;
inline constexpr Status kStartAfterEnd = -20114;
inline constexpr Status kFftSizeNotPositive = -20115;
inline constexpr Status kNoFeasibleSolution = -20116;
inline constexpr Status kLossOfSignificance = -20117;
inline constexpr Status kNotPositiveOrZero = -20140;
inline constexpr Status kZeroNumber = -20141;
inline constexpr Status kAlgorithmFailure = -20999;
inline constexpr Status kNotEnoughCrosspoints = -20308;
inline constexpr Status kZeroAmplitude = -20309;
inline constexpr Status kNotEnoughEdges = -20310;
inline constexpr Status kNoSpaceLeft = -20311;
inline constexpr Status kNoWaveform = -20312;
inline constexpr Status kBadReferenceOrder = -20313;
inline constexpr Status kBadReferenceUnit = -20314;
inline constexpr Status kWaveformDtNotPositive = -20315;
inline constexpr Status kBadLevelMethod = -20316;
inline constexpr Status kHistogramSizeNotPositive = -20317;
inline constexpr Status kParameterUndefined = -20318;
inline constexpr Status kPeriodTooShort = -20319;
inline constexpr Status kResultNotAvailable = -20320;
inline constexpr Status kInfiniteSlope = -20326;
inline constexpr Status kException = -20327;
inline constexpr Status kWrongSection = -20328;
inline constexpr Status kNullCursor = -20329;
inline constexpr Status kNullResult = -20330;
inline constexpr Status kNullReferenceLevels = -20331;
inline constexpr Status kBadThreadCount = -20332;

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
