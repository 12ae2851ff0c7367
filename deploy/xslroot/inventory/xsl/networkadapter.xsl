<?xml version="1.0" encoding="UTF-8"?>
<!-- Korvex_NetworkAdapter: the network interfaces, the network nodes of lshw's tree that hold no further network node (a PCI function and the interface on it are one adapter); a get keeps the one whose path in lshw's tree is the DeviceID
     key. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:include href="resulttext.xsl"/>
  <xsl:include href="lshw.xsl"/>
  <xsl:output method="text" encoding="UTF-8"/>

  <xsl:variable name="get" select="/QRVCIM/@cim-operation = 'get'"/>
  <xsl:variable name="key" select="/QRVCIM/Attributes/Required[@name = 'DeviceID']/@value"/>

  <xsl:template match="/">
    <xsl:for-each select="/QRVCIM/Inventory/Hardware//node[@class = 'network' and not(.//node[@class = 'network'])]">
      <xsl:variable name="id"><xsl:call-template name="device-id"/></xsl:variable>
      <xsl:if test="not($get) or $id = $key">
        <xsl:call-template name="adapter">
          <xsl:with-param name="id" select="$id"/>
        </xsl:call-template>
      </xsl:if>
    </xsl:for-each>
  </xsl:template>

  <xsl:template name="adapter">
    <xsl:param name="id"/>
    <xsl:text>instance of Korvex_NetworkAdapter&#10;{&#10;</xsl:text>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'DeviceID'"/>
      <xsl:with-param name="value" select="$id"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Name'"/>
      <xsl:with-param name="value" select="logicalname"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Description'"/>
      <xsl:with-param name="value" select="description"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Product'"/>
      <xsl:with-param name="value" select="product | ../product[not(current()/product)]"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Vendor'"/>
      <xsl:with-param name="value" select="vendor | ../vendor[not(current()/vendor)]"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'MACAddress'"/>
      <xsl:with-param name="value" select="serial"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'BusInfo'"/>
      <xsl:with-param name="value" select="businfo"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'Driver'"/>
      <xsl:with-param name="value" select="configuration/setting[@id = 'driver']/@value"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'DriverVersion'"/>
      <xsl:with-param name="value" select="configuration/setting[@id = 'driverversion']/@value"/>
    </xsl:call-template>
    <xsl:call-template name="string-property">
      <xsl:with-param name="name" select="'IPAddress'"/>
      <xsl:with-param name="value" select="configuration/setting[@id = 'ip']/@value"/>
    </xsl:call-template>
    <xsl:call-template name="boolean-property">
      <xsl:with-param name="name" select="'LinkUp'"/>
      <xsl:with-param name="value" select="configuration/setting[@id = 'link']/@value"/>
    </xsl:call-template>
    <xsl:call-template name="number-property">
      <xsl:with-param name="name" select="'Speed'"/>
      <xsl:with-param name="value" select="size[@units = 'bit/s']"/>
    </xsl:call-template>
    <xsl:text>};&#10;</xsl:text>
  </xsl:template>
</xsl:stylesheet>
