// Texture slots: the numbers every drawing call names. Start-up fills them
// in this order from its table of picture files (app/assetslots.cpp), which
// names each entry's slot and is checked against this list when compiled.
// A picture registered more than once also fills the slots after its own.
#pragma once

enum TextureSlot : int {
  kShipTexture = 0,  // the loading picture during start-up
  kWhiteTexture = 1,
  kGunshipTexture = 2,
  kRedBorderTexture = 3,
  kBarrierTexture = 4,
  kLaserTexture = 5,
  kRocketTexture = 6,
  kYellowLaserTexture = 7,
  kBlueLaserTexture = 8,
  kLightning1Texture = 9,
  kLightning2Texture = 10,
  kGaussTrailTexture = 11,
  kMineTexture = 12,
  kBigBulletTexture = 13,
  kLowHealthTexture = 14,
  kMidHealthTexture = 15,
  kGoodHealthTexture = 16,
  kArrowTexture = 17,
  kFontTexture = 18,
  kPlanetDestroyerTexture = 19,
  kStealthTexture = 20,
  kBigBullet3Texture = 21,
  kEngineTrailTexture = 22,
  kCarrierTile1 = 23,  // the capital ship's eight tiles, 23..30
  kCarrierTile2 = 24,
  kCarrierTile3 = 25,
  kCarrierTile4 = 26,
  kCarrierTile5 = 27,
  kCarrierTile6 = 28,
  kCarrierTile7 = 29,
  kCarrierTile8 = 30,  // also 31 and 32
  kGaussTexture = 33,  // also 34..36
  kArrowUpTexture = 37,
  kArrowDownTexture = 38,
  kWhiteQuadTexture = 39,     // plain white: darkening quads, mini-map dots
  kArenaPictureTexture = 40,  // white until the arena picture replaces it
  kShrapnelTexture = 41,
  kQuadScoutTexture = 42,
  kOptionsScreenTexture = 43,
  kServerListScreenTexture = 44,
  kBackTexture = 45,
  kHorizontalWallTexture = 46,
  kVerticalWallTexture = 47,
  kWallJointTexture = 48,
  kSpot1Texture = 49,
  kSpot3Texture = 50,
  kSpot4Texture = 51,
  kSpot5Texture = 52,
  kSpot6Texture = 53,
  kTitleScreenTexture = 54,
  kBlock1Texture = 55,
  kBlock2Texture = 56,
  kBlock3Texture = 57,
  kGauss2Texture = 58,
  kNameScreenTexture = 59,
  kSmoke1Texture = 60,
  kSmoke2Texture = 61,
  kSmoke3Texture = 62,
  kTextureSlotCount = 63,
};
