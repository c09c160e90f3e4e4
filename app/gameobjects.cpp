#include "app/gameobjects.h"

#include "app/soundmanager.h"
#include "game/bulletmanager.h"
#include "game/explosionmanager.h"
#include "game/bulletmanager_draw.h"
#include "game/explosionmanager_draw.h"
#include "game/spaceship.h"
#include "game/spaceship_draw.h"
#include "net/networkhandler.h"
#include "opponents/aiplayer.h"
#include "opponents/enemymanager.h"
#include "opponents/enemymanager_draw.h"
#include "render/batchrenderer.h"
#include "render/defaultsprite.h"
#include "render/glwrapper.h"
#include "render/pictureloader.h"
#include "render/rendersort.h"
#include "render/shaderhelper.h"
#include "render/shaderlibrary.h"
#include "render/starfield.h"
#include "render/texturelibrary.h"
#include "ui/button.h"
#include "ui/menu.h"
#include "world/capship.h"
#include "world/world.h"
#include "world/world_draw.h"

GlWrapper Utility;
TextureLibrary Textures;
PictureLoader Pictures;
ShaderLibrary Shaders;
ShaderHelper ShaderUtility;
BatchRenderer Renderer;
RenderSort SortedRenderer;
DefaultSprite FullscreenFX;
DefaultSprite RenderScence;
DefaultSprite MiniMap;
Starfield Sprite3;
SoundManager Sounds;
NetworkHandler Networking;
World Level;
WorldView LevelView;
CapShip Carrier;
CapShip Carrier2;
SpaceShip Player;
ShipView PlayerView;
BulletManager Bullets;
ExplosionManager Explosions;
ExplosionView ExplosionsView;
BulletView BulletsView;
EnemyManager Enemies;
EnemyView EnemiesView;
AiPlayer Bot[kBotCount];
Menu Weapons;
std::vector<menus> Menus;
int onmenu = 0;

Button cmdInternet, cmdLan, cmdHost;
Button cmdHighGraphics, cmdMediumGraphics, cmdLowGraphics;
Button cmdOptions, cmdPlay;
Button cmdName, cmdMusicOn, cmdMusicOff;
Button cmdBots;
