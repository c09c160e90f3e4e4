// The game's global subsystem objects. Each is default-constructed before
// main runs (constructors only clear) and made ready by its InitMe call
// during start-up (app/startup.cpp); they borrow pointers to each other and
// live until the process ends.
#pragma once

#include <vector>

// Whole types: they are handed to the simulation as its GameUtilities and
// SoundPlayer, which the conversion needs to see.
#include "platform/soundmanager.h"
#include "render/glwrapper.h"

class TextureLibrary;
class PictureLoader;
class ShaderLibrary;
class ShaderHelper;
class BatchRenderer;
class RenderSort;
class DefaultSprite;
class Starfield;
class NetworkHandler;
class Outbox;
class World;
class WorldView;
class CapShip;
class SpaceShip;
class ShipView;
class BulletManager;
class ExplosionManager;
class ExplosionView;
class BulletView;
class EnemyManager;
class EnemyView;
class AiPlayer;
class Menu;
class Button;
struct menus;

extern GlWrapper Utility;
extern TextureLibrary Textures;
// Decodes the pictures of Textures' slots in the background during start-up.
extern PictureLoader Pictures;
extern ShaderLibrary Shaders;
extern ShaderHelper ShaderUtility;
extern BatchRenderer Renderer;
extern RenderSort SortedRenderer;
extern DefaultSprite FullscreenFX;  // 1024x768 quad: loading and screen pictures, darkening
extern DefaultSprite RenderScence;  // 1024x768 quad for captured screens (glow)
extern DefaultSprite MiniMap;       // resized per use
extern Starfield Sprite3;
extern SoundManager Sounds;
extern NetworkHandler Networking;
extern Outbox Outgoing;  // what the simulation posts for GameProtocol::Flush
extern World Level;
extern WorldView LevelView;  // draws Level and the capital ship
extern CapShip Carrier;
extern CapShip Carrier2;
extern SpaceShip Player;
extern ShipView PlayerView;  // draws Player and keeps the camera
extern BulletManager Bullets;
extern ExplosionManager Explosions;
extern ExplosionView ExplosionsView;  // draws Explosions
extern BulletView BulletsView;        // draws Bullets
extern EnemyManager Enemies;
extern EnemyView EnemiesView;  // draws Enemies

constexpr int kBotCount = 6;
extern AiPlayer Bot[kBotCount];

extern Menu Weapons;              // the payload panel of the in-game menu
extern std::vector<menus> Menus;  // the in-game menu tree
extern int onmenu;                // page of Menus shown

// The invisible buttons of the title and options screens (the pictures show
// them). The title's top row lies where the options' graphics row does.
extern Button cmdInternet;          // title: the internet server list
extern Button cmdLan;               // title: join the first game found on the LAN
extern Button cmdHost;              // title: host a networked game
extern Button cmdOptions, cmdPlay;  // title: the options; a game against the computer
extern Button cmdHighGraphics, cmdMediumGraphics, cmdLowGraphics;  // options
extern Button cmdName, cmdMusicOn, cmdMusicOff;                    // options
extern Button cmdBots;      // options: computer players of hosted games
extern Button cmdControls;  // options: the controls screen
